// The host's records of its plugins, laid out as the released host lays them
// out (FAR 1.70 build 2087: 1,496 bytes each; FAR 1.75: 1,500, one more
// entry point at the end): one array on the host's own heap, one record per
// plugin DLL, in the order of the DLLs' file names, never moved once laid
// out. A plugin's index in it is the ModuleNumber it is given, so its own
// record lies ModuleNumber records after the array's start.
//
// Every call into a plugin goes through the entry point held here, tested for
// null first. A record "known from the plugin cache, not loaded" (work flag 1)
// holds no handle and no addresses: six of its entry words hold 1 or 0, read
// from the cache, telling the host whether the plugin has that entry; the host
// loads the DLL through the record at the first use of one of them.
//
// The handle and the addresses are held here and nowhere else in the host's
// memory: whoever looks for the host's record of a module finds this one.
#pragma once

#include <windows.h>
#include <stddef.h>

namespace farhost {

// The entry points, in the record's order.
enum class Export : int {
    SetStartupInfo, OpenPlugin, OpenFilePlugin, ClosePlugin, GetPluginInfo, GetOpenPluginInfo, GetFindData,
    FreeFindData, GetVirtualFindData, FreeVirtualFindData, SetDirectory, GetFiles, PutFiles, DeleteFiles,
    MakeDirectory, ProcessHostFile, SetFindList, Configure, ExitFAR, ProcessKey, ProcessEvent, ProcessEditorEvent,
    Compare, ProcessEditorInput, GetMinFarVersion, ProcessViewerEvent,
    ProcessDialogEvent,   // FAR 1.75 (and 1.71 from build 2307) only
    Count
};
constexpr int kExportCount = static_cast<int>(Export::Count);
constexpr int kEntryPoints170 = 26;   // FAR 1.70: up to ProcessViewerEvent

const char* exportName(Export e);
// The export of this name; Export::Count when the host keeps none of it.
Export exportByName(const char* name);

// Work flags.
constexpr DWORD kWorkCached = 0x1;         // known from the plugin cache, not loaded
constexpr DWORD kWorkPreloaded = 0x2;      // its cache slot says "load at every start"
constexpr DWORD kWorkDontLoadAgain = 0x4;  // failed to load or dropped: never again this session
// Call flags: the DLL is loaded (the host sets a bit of its own around each call too).
constexpr DWORD kCallLoaded = 0x1;

// The plugin's language file as the host keeps it once read.
struct MessageTable {
    char** strings;   // count pointers into list
    char* list;       // the texts, one after another
    long size;        // bytes of list
    int count;
};

struct PluginRecord {
    char modulePath[MAX_PATH];      // the full path found at start
    DWORD workFlags;
    DWORD callFlags;
    HMODULE module;
    WIN32_FIND_DATAA findData;      // the DLL's, from the start
    MessageTable messages;          // empty until the plugin's first GetMsg
    char languageFile[MAX_PATH];    // the file messages were read from
    void* linkedFrame;
    DWORD sysId;
    int cachePos;                   // its slot in the plugin cache (0 when loaded at start)
    char rootKey[512];              // the RootKey its startup information points at
    FARPROC entries[kEntryPoints170];
};
static_assert(offsetof(PluginRecord, modulePath) == 0, "plugin record");
static_assert(offsetof(PluginRecord, workFlags) == 260, "plugin record");
static_assert(offsetof(PluginRecord, callFlags) == 264, "plugin record");
static_assert(offsetof(PluginRecord, module) == 268, "plugin record");
static_assert(offsetof(PluginRecord, findData) == 272, "plugin record");
static_assert(sizeof(WIN32_FIND_DATAA) == 320, "318 bytes of find data and 2 of padding");
static_assert(offsetof(PluginRecord, messages) == 592, "plugin record");
static_assert(sizeof(MessageTable) == 16, "plugin record");
static_assert(offsetof(PluginRecord, languageFile) == 608, "plugin record");
static_assert(offsetof(PluginRecord, linkedFrame) == 868, "plugin record");
static_assert(offsetof(PluginRecord, sysId) == 872, "plugin record");
static_assert(offsetof(PluginRecord, cachePos) == 876, "plugin record");
static_assert(offsetof(PluginRecord, rootKey) == 880, "plugin record");
static_assert(offsetof(PluginRecord, entries) == 1392, "plugin record");
static_assert(sizeof(PluginRecord) == 1496, "FAR 1.70 build 2087's record");
// The addresses lie 1,124 bytes after the handle, as in the released host.
static_assert(offsetof(PluginRecord, entries) - offsetof(PluginRecord, module) == 1124, "plugin record");

// FAR 1.75's record: the same, and ProcessDialogEvent at the end.
struct PluginRecord175 {
    PluginRecord base;
    FARPROC processDialogEvent;
};
static_assert(offsetof(PluginRecord175, processDialogEvent) == 1496, "FAR 1.75's record");
static_assert(sizeof(PluginRecord175) == 1500, "FAR 1.75's record");

// The record's layout for one host build: its size and how many entry points it holds.
struct RecordLayout {
    int size = sizeof(PluginRecord);
    int entryCount = kEntryPoints170;
};
RecordLayout recordLayout(bool far175);

// The word of this entry point in the record; nullptr when the layout has none.
FARPROC* entrySlot(PluginRecord* record, Export which, const RecordLayout& layout);
FARPROC entryOf(const PluginRecord* record, Export which, const RecordLayout& layout);

// The host's array of records, on its own heap. Laid out once with room for
// every DLL of the tree and some more (plugins loaded from elsewhere later
// join at the end); never moved.
class PluginRecords {
public:
    PluginRecords() = default;
    ~PluginRecords();
    PluginRecords(const PluginRecords&) = delete;
    PluginRecords& operator=(const PluginRecords&) = delete;
    // Allocates room for capacity zero-filled records; false when the heap refuses.
    bool layOut(int capacity, const RecordLayout& layout);
    // A record with this path at the next index; nullptr when full.
    PluginRecord* append(const char* path);
    PluginRecord* at(int index) const;
    int count() const { return count_; }
    int capacity() const { return capacity_; }
    const RecordLayout& layout() const { return layout_; }
    const void* start() const { return base_; }
    // Index of the record of this path (any case); -1 when none.
    int indexOf(const char* path) const;

private:
    unsigned char* base_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    RecordLayout layout_;
};

// Takes the module's handle and the address of each entry point it has, and
// marks the record loaded (work flag "cached" cleared).
void fillPluginRecord(PluginRecord* record, HMODULE module, const RecordLayout& layout);
// Clears the handle and every entry point, keeping everything else.
void clearPluginRecord(PluginRecord* record, const RecordLayout& layout);
// Whether any entry point word is non-zero.
bool holdsExports(const PluginRecord* record, const RecordLayout& layout);

// The message table (when one was read) and the file it came from, with the
// host's copy of the texts; the table is emptied, the old texts stay valid.
// Blocks come from the records' heap.
bool fillMessageTable(PluginRecord* record, const char* languageFile, const char* const* texts, int count);
void dropMessageTable(PluginRecord* record);

// Whether code at this address is inside a module that is loaded now and was
// loaded from this file (any case): false once the module is released, also
// when another module has come to the same address since.
bool addressInLoadedModule(const void* address, const char* path);

}  // namespace farhost
