// FAR's own record of a plugin, as the builds Vantorel knows lay it out. FAR
// keeps one record per plugin DLL in one array on its heap, in the order a
// plugin's ModuleNumber counts; the record holds the DLL's path, its module
// handle, what FAR learnt from its plugin cache, and the address of each entry
// point it calls. Pure rules over a record's bytes: nothing here reads FAR's
// memory.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct FarRecordLayout {
    uint32_t version;      // as FAR answers ACTL_GETFARVERSION: build << 16 | major << 8 | minor
    const char* name;      // "FAR 1.70 build 2087"
    uint32_t size;         // bytes of one record
    int entryCount;        // entry point words at FAR_RECORD_ENTRIES
};

// Offsets inside a record, the same in every known build.
enum : uint32_t {
    FAR_RECORD_PATH = 0,            // 260 bytes: the DLL's full path as FAR found it
    FAR_RECORD_WORK_FLAGS = 260,    // 1: known from FAR's plugin cache, not loaded
    FAR_RECORD_CALL_FLAGS = 264,
    FAR_RECORD_HANDLE = 268,
    FAR_RECORD_FIND_DATA = 272,     // the DLL's find data, 318 bytes and 2 of padding
    FAR_RECORD_MESSAGES = 592,      // the plugin's message table: 16 bytes
    FAR_RECORD_LANG_FILE = 608,     // 260 bytes
    FAR_RECORD_UNUSED = 868,
    FAR_RECORD_SYSID = 872,
    FAR_RECORD_CACHE_SLOT = 876,
    FAR_RECORD_ENTRIES = 1392,
};

// The work flags FAR keeps for a plugin.
enum : uint32_t {
    FAR_WORK_CACHED = 1,          // known from the plugin cache, not loaded: loaded at its next use
    FAR_WORK_DONT_LOAD_AGAIN = 4, // never loaded again in this session
};

// FAR's entry points in the order of the record's words.
enum FarRecordEntry {
    FRE_SET_STARTUP_INFO, FRE_OPEN_PLUGIN, FRE_OPEN_FILE_PLUGIN, FRE_CLOSE_PLUGIN, FRE_GET_PLUGIN_INFO,
    FRE_GET_OPEN_PLUGIN_INFO, FRE_GET_FIND_DATA, FRE_FREE_FIND_DATA, FRE_GET_VIRTUAL_FIND_DATA,
    FRE_FREE_VIRTUAL_FIND_DATA, FRE_SET_DIRECTORY, FRE_GET_FILES, FRE_PUT_FILES, FRE_DELETE_FILES,
    FRE_MAKE_DIRECTORY, FRE_PROCESS_HOST_FILE, FRE_SET_FIND_LIST, FRE_CONFIGURE, FRE_EXIT_FAR, FRE_PROCESS_KEY,
    FRE_PROCESS_EVENT, FRE_PROCESS_EDITOR_EVENT, FRE_COMPARE, FRE_PROCESS_EDITOR_INPUT, FRE_GET_MIN_FAR_VERSION,
    FRE_PROCESS_VIEWER_EVENT, FRE_PROCESS_DIALOG_EVENT,
    FRE_COUNT
};
extern const char* const FAR_RECORD_ENTRY_NAMES[FRE_COUNT];

// The layout of this FAR build, or nullptr when it is not pinned here.
const FarRecordLayout* farRecordLayout(uint32_t farVersion);

// The record's path when it is a terminated text that names a DLL, else nullptr.
const char* farRecordPath(const uint8_t* record);
uint32_t farRecordWord(const uint8_t* record, uint32_t offset);
void setFarRecordWord(uint8_t* record, uint32_t offset, uint32_t value);
uint32_t farRecordEntry(const uint8_t* record, int entry);

// The entry points FAR records as 0/1 flags while a plugin is known from
// its cache and not loaded: those through which it may start the plugin.
bool isStartingEntry(int entry);

// Whether the record is FAR's record of a loaded module: the path is path
// (any case), the handle is module, and every entry word is either 0 or,
// exactly, the module's address for that entry (addresses[], 0 for an entry
// the module lacks).
bool recordOfLoadedModule(const uint8_t* record, const FarRecordLayout& layout, const char* path, uint32_t module,
                          const uint32_t* addresses);
// Takes the released module out of the record: the handle and every entry
// word. FAR then calls nothing of the plugin and offers it nowhere.
void clearLoadedRecord(uint8_t* record, const FarRecordLayout& layout);
// Whether the record is as clearLoadedRecord left it for path.
bool recordOfReleasedModule(const uint8_t* record, const FarRecordLayout& layout, const char* path);

// Whether the record is FAR's record of a plugin it has not loaded now: no
// handle, and no entry word but the 0/1 flags of the starting entries (a
// plugin known from FAR's cache, one Vantorel released, or one FAR gave up).
bool recordNotLoaded(const uint8_t* record, const FarRecordLayout& layout, const char* path);
// The state FAR itself leaves a plugin it dropped in: never loaded again in
// this session, offered in no menu (its menus read the cache only while the
// cached flag is set, and ask nothing of a record without entry points),
// called through no entry point. Its path stays, so the table keeps its shape.
void markRecordGone(uint8_t* record, const FarRecordLayout& layout);

// What FAR's plugin cache and the DLL on disk say of a plugin to be loaded again.
struct KnownPlugin {
    uint32_t cacheSlot;             // N of PluginsCache\Plugin<N>
    uint32_t sysId;
    bool exports[FRE_COUNT];        // the DLL on disk exports this entry point
    const uint8_t* findData;        // 318 bytes of the DLL's find data
};
// Puts the record into the state of a plugin FAR found in its cache and has
// not loaded: no handle, no messages, entry words 0 but the starting ones,
// which are 1 where the DLL exports them; the work flag written last.
void armKnownNotLoaded(uint8_t* record, const FarRecordLayout& layout, const KnownPlugin& plugin);
