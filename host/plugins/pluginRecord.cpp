#include "plugins/pluginRecord.h"

#include "common/hostText.h"

#include <string.h>

namespace farhost {

namespace {

const char* const kExportNames[kExportCount] = {
    "SetStartupInfo", "GetPluginInfo", "OpenPlugin", "OpenFilePlugin", "ClosePlugin", "GetOpenPluginInfo",
    "GetFindData", "FreeFindData", "GetVirtualFindData", "FreeVirtualFindData", "SetDirectory", "GetFiles",
    "PutFiles", "DeleteFiles", "MakeDirectory", "ProcessHostFile", "SetFindList", "Configure", "ExitFAR",
    "ProcessKey", "ProcessEvent", "ProcessEditorEvent", "Compare", "ProcessEditorInput", "ProcessViewerEvent",
};

// The host's own heap, as the released host's records lie in its runtime's
// heap: apart from the process heap, where the system's loader keeps its own
// entries (each with the module's handle) and where a record could otherwise
// lie within reach of one.
HANDLE recordHeap() {
    static HANDLE heap = HeapCreate(0, 0, 0);
    return heap;
}

}  // namespace

const char* exportName(Export e) {
    int i = static_cast<int>(e);
    return i >= 0 && i < kExportCount ? kExportNames[i] : "";
}

Export exportByName(const char* name) {
    for (int i = 0; i < kExportCount; ++i)
        if (name && strcmp(kExportNames[i], name) == 0) return static_cast<Export>(i);
    return Export::Count;
}

PluginRecord* newPluginRecord(const char* moduleName) {
    HANDLE heap = recordHeap();
    auto* record = heap ? static_cast<PluginRecord*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(PluginRecord))) : nullptr;
    if (record && moduleName) copyBounded(record->moduleName, sizeof record->moduleName, moduleName);
    return record;
}

void freePluginRecord(PluginRecord* record) {
    if (record) HeapFree(recordHeap(), 0, record);
}

void fillPluginRecord(PluginRecord* record, HMODULE module) {
    record->module = module;
    for (int i = 0; i < kExportCount; ++i) record->exports[i] = GetProcAddress(module, kExportNames[i]);
}

void clearPluginRecord(PluginRecord* record) {
    record->module = nullptr;
    for (FARPROC& address : record->exports) address = nullptr;
}

bool holdsExports(const PluginRecord* record) {
    for (FARPROC address : record->exports)
        if (address) return true;
    return false;
}

bool addressInLoadedModule(const void* address, const char* path) {
    HMODULE holder = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(address), &holder) ||
        !holder)
        return false;
    char name[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(holder, name, MAX_PATH);
    return n > 0 && n < MAX_PATH && equalNoCase(name, path);
}

}  // namespace farhost
