#include "farRecords/recordLayout.h"

#include "runtime/text.h"

#include <string.h>

const char* const FAR_RECORD_ENTRY_NAMES[FRE_COUNT] = {
    "SetStartupInfo", "OpenPlugin", "OpenFilePlugin", "ClosePlugin", "GetPluginInfo", "GetOpenPluginInfo",
    "GetFindData", "FreeFindData", "GetVirtualFindData", "FreeVirtualFindData", "SetDirectory", "GetFiles",
    "PutFiles", "DeleteFiles", "MakeDirectory", "ProcessHostFile", "SetFindList", "Configure", "ExitFAR",
    "ProcessKey", "ProcessEvent", "ProcessEditorEvent", "Compare", "ProcessEditorInput", "GetMinFarVersion",
    "ProcessViewerEvent", "ProcessDialogEvent",
};

namespace {

constexpr uint32_t farVersion(uint32_t major, uint32_t minor, uint32_t build) {
    return build << 16 | major << 8 | minor;
}

// Only layouts measured in a running FAR of that build: any other build may
// have moved a field, and a write into its heap would be a guess.
const FarRecordLayout LAYOUTS[] = {
    {farVersion(1, 70, 2087), "FAR 1.70 build 2087", 1496, 26},
    {farVersion(1, 75, 2634), "FAR 1.75 build 2634", 1500, 27},
};

const uint32_t PATH_CHARS = 260;
const uint32_t FIND_DATA_BYTES = 318;
const uint32_t MESSAGE_TABLE_BYTES = 16;

}  // namespace

const FarRecordLayout* farRecordLayout(uint32_t version) {
    for (const FarRecordLayout& layout : LAYOUTS)
        if (layout.version == version) return &layout;
    return nullptr;
}

uint32_t farRecordWord(const uint8_t* record, uint32_t offset) {
    uint32_t word;
    memcpy(&word, record + offset, sizeof word);
    return word;
}

void setFarRecordWord(uint8_t* record, uint32_t offset, uint32_t value) {
    memcpy(record + offset, &value, sizeof value);
}

uint32_t farRecordEntry(const uint8_t* record, int entry) {
    return farRecordWord(record, FAR_RECORD_ENTRIES + 4 * entry);
}

const char* farRecordPath(const uint8_t* record) {
    const char* path = reinterpret_cast<const char*>(record + FAR_RECORD_PATH);
    size_t n = boundedLength(path, PATH_CHARS);
    if (n < 5 || n == PATH_CHARS || !equalNoCase(path + n - 4, ".dll")) return nullptr;
    return path;
}

bool isStartingEntry(int entry) {
    switch (entry) {
    case FRE_OPEN_PLUGIN:
    case FRE_OPEN_FILE_PLUGIN:
    case FRE_SET_FIND_LIST:
    case FRE_PROCESS_EDITOR_EVENT:
    case FRE_PROCESS_EDITOR_INPUT:
    case FRE_PROCESS_VIEWER_EVENT:
    case FRE_PROCESS_DIALOG_EVENT: return true;
    default: return false;
    }
}

bool recordOfLoadedModule(const uint8_t* record, const FarRecordLayout& layout, const char* path, uint32_t module,
                          const uint32_t* addresses) {
    const char* own = farRecordPath(record);
    if (!own || !equalNoCase(own, path) || !module || farRecordWord(record, FAR_RECORD_HANDLE) != module) return false;
    int held = 0;
    for (int i = 0; i < layout.entryCount; ++i) {
        uint32_t word = farRecordEntry(record, i);
        if (word && word != addresses[i]) return false;
        held += word != 0;
    }
    return held > 0;
}

void clearLoadedRecord(uint8_t* record, const FarRecordLayout& layout) {
    setFarRecordWord(record, FAR_RECORD_HANDLE, 0);
    memset(record + FAR_RECORD_ENTRIES, 0, 4 * layout.entryCount);
}

bool recordOfReleasedModule(const uint8_t* record, const FarRecordLayout& layout, const char* path) {
    const char* own = farRecordPath(record);
    if (!own || !equalNoCase(own, path) || farRecordWord(record, FAR_RECORD_HANDLE)) return false;
    for (int i = 0; i < layout.entryCount; ++i)
        if (farRecordEntry(record, i)) return false;
    return true;
}

bool recordNotLoaded(const uint8_t* record, const FarRecordLayout& layout, const char* path) {
    const char* own = farRecordPath(record);
    if (!own || !equalNoCase(own, path) || farRecordWord(record, FAR_RECORD_HANDLE)) return false;
    for (int i = 0; i < layout.entryCount; ++i) {
        uint32_t word = farRecordEntry(record, i);
        if (word > 1 || (word == 1 && !isStartingEntry(i))) return false;
    }
    return true;
}

void markRecordGone(uint8_t* record, const FarRecordLayout& layout) {
    // The flag first: from then on FAR loads nothing of it, whatever it reads next.
    setFarRecordWord(record, FAR_RECORD_WORK_FLAGS, FAR_WORK_DONT_LOAD_AGAIN);
    setFarRecordWord(record, FAR_RECORD_CALL_FLAGS, 0);
    setFarRecordWord(record, FAR_RECORD_HANDLE, 0);
    memset(record + FAR_RECORD_ENTRIES, 0, 4 * layout.entryCount);
}

void armKnownNotLoaded(uint8_t* record, const FarRecordLayout& layout, const KnownPlugin& plugin) {
    // FAR reads the plugin's language file again only while this is empty.
    memset(record + FAR_RECORD_MESSAGES, 0, MESSAGE_TABLE_BYTES);
    memset(record + FAR_RECORD_LANG_FILE, 0, PATH_CHARS);
    memcpy(record + FAR_RECORD_FIND_DATA, plugin.findData, FIND_DATA_BYTES);
    setFarRecordWord(record, FAR_RECORD_CALL_FLAGS, 0);
    setFarRecordWord(record, FAR_RECORD_HANDLE, 0);
    setFarRecordWord(record, FAR_RECORD_UNUSED, 0);
    setFarRecordWord(record, FAR_RECORD_SYSID, plugin.sysId);
    setFarRecordWord(record, FAR_RECORD_CACHE_SLOT, plugin.cacheSlot);
    for (int i = 0; i < layout.entryCount; ++i)
        setFarRecordWord(record, FAR_RECORD_ENTRIES + 4 * i, isStartingEntry(i) && plugin.exports[i] ? 1 : 0);
    setFarRecordWord(record, FAR_RECORD_WORK_FLAGS, FAR_WORK_CACHED);
}
