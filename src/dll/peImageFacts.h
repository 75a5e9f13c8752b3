// What a DLL file tells about itself without being loaded: its PE headers,
// the names it exports and the functions it imports, read from a byte buffer
// with every read checked against the buffer's end. No file or system calls:
// a malformed or truncated file is simply not an image.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum PeImageKind {
    PE_NOT_IMAGE = 0,   // no PE image, not a DLL, or headers and tables out of bounds
    PE_IMAGE_32 = 1,    // a 32-bit x86 DLL
    PE_IMAGE_64 = 2,    // a 64-bit DLL (PE32+)
};

// Longest export or import name the reader accepts (terminator not counted);
// a longer one makes the table malformed.
constexpr size_t PE_NAME_CHARS = 255;

// A DLL image in a buffer whose headers have been checked.
struct PeImage {
    const uint8_t* data;
    size_t size;
    bool wide;               // PE32+: 64-bit thunks
    uint32_t sectionTable;   // file offset of the section headers
    uint32_t sectionCount;
    uint32_t headersSize;
    uint32_t exportRva, exportSize;
    uint32_t importRva, importSize;
    uint32_t resourceRva, resourceSize;
};

// Checks the headers as the loader would: "MZ", the "PE" signature, a DLL,
// an optional header of a known kind, every section's raw data inside the
// buffer (a truncated file is not an image).
PeImageKind openPeImage(PeImage* image, const uint8_t* data, size_t size);

// The names of the export table in table order. Each name handed to visit is
// terminated inside the buffer. visit returns false to stop early. Returns
// false when the table is malformed (nothing is wrong with an image that has
// no export table).
typedef bool (*PeNameVisit)(const char* name, void* context);
bool forEachPeExport(const PeImage& image, PeNameVisit visit, void* context);

// Every import of the import table: the DLL's name and the function's name,
// or nullptr for a function imported by number. Same rules as above.
typedef bool (*PeImportVisit)(const char* dll, const char* function, void* context);
bool forEachPeImport(const PeImage& image, PeImportVisit visit, void* context);

// length bytes of file data at rva, or nullptr when not all of them are in
// the file.
const uint8_t* peBlockAt(const PeImage& image, uint64_t rva, uint64_t length);

// The host's entry points, in the order of the bit masks below: FAR 1.70's
// 26, then ProcessDialogEvent, which FAR 1.71 from build 2307 and FAR 1.75
// call and FAR 1.70 never looks up.
constexpr int FAR_ENTRY_POINT_COUNT = 27;
extern const char* const FAR_ENTRY_POINTS[FAR_ENTRY_POINT_COUNT];
constexpr uint32_t entryPointBit(int index) { return 1u << index; }
enum {
    EP_SET_STARTUP_INFO = 0,
    EP_GET_PLUGIN_INFO = 1,
    EP_GET_MIN_FAR_VERSION = 25,
    EP_PROCESS_DIALOG_EVENT = 26,
};
constexpr uint32_t FAR170_ENTRY_POINTS = entryPointBit(EP_PROCESS_DIALOG_EVENT) - 1;

// What the exports say about a plugin for the host.
struct PluginImageFacts {
    PeImageKind kind;
    uint32_t exportCount;
    uint32_t entryPoints;   // exported under the plain name the host looks up (any FAR 1.x)
    uint32_t decorated;     // exported only as "Name@N" or "_Name@N"
    uint32_t wide;          // exported as "NameW", a build for the later hosts
};

// Reads the headers, the export table and the import table (which must be
// well formed too). A malformed image gives kind PE_NOT_IMAGE and no facts.
void readPluginImageFacts(const uint8_t* data, size_t size, PluginImageFacts* facts);

// Why the host would not take a DLL as a plugin, in the order it is told.
enum PluginUnfitness {
    PLUGIN_FIT = 0,
    // The host keeps a DLL that exports any of its entry points under the
    // plain name, SetStartupInfo or not; without it the plugin never learns
    // the host's services.
    PLUGIN_FIT_NO_STARTUP,
    UNFIT_NOT_WINDOWS_DLL,
    UNFIT_64_BIT,
    UNFIT_UNICODE_BUILD,     // "SetStartupInfoW" and the like, no plain SetStartupInfo
    UNFIT_DECORATED,         // "SetStartupInfo@4": the host looks names up undecorated
    UNFIT_NO_ENTRY_POINTS,   // none of the host's entry points under its plain name
    UNFIT_MISSING_DLL,       // a DLL it imports cannot be found
    UNFIT_MISSING_IMPORT,    // a function it imports is not exported by that DLL
};

// The verdict of the exports alone.
PluginUnfitness exportVerdict(const PluginImageFacts& facts);
// Whether the host would keep the DLL as a plugin after that verdict.
inline bool hostKeeps(PluginUnfitness verdict) {
    return verdict == PLUGIN_FIT || verdict == PLUGIN_FIT_NO_STARTUP;
}

// Whether the table holds name, exactly (for a DLL's own export check).
bool peExports(const PeImage& image, const char* name);
