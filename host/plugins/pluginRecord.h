// The host's record of one loaded plugin, kept as the released host keeps it:
// one zero-filled block of the host's heap with the module's name, its
// handle and, further on, the address of each of its exports. Every call into
// the plugin goes through the address held here, tested for null first; a
// cleared address means the host calls nothing there, and a plugin whose
// addresses are all cleared is gone from the host until it starts again.
//
// The handle and the addresses are held here and nowhere else in the host's
// memory: whoever looks for the host's record of a module finds this one.
#pragma once

#include <windows.h>
#include <stddef.h>

namespace farhost {

// The exports the host keeps an address of, in the record's order.
enum class Export : int {
    SetStartupInfo, GetPluginInfo, OpenPlugin, OpenFilePlugin, ClosePlugin, GetOpenPluginInfo, GetFindData,
    FreeFindData, GetVirtualFindData, FreeVirtualFindData, SetDirectory, GetFiles, PutFiles, DeleteFiles,
    MakeDirectory, ProcessHostFile, SetFindList, Configure, ExitFAR, ProcessKey, ProcessEvent, ProcessEditorEvent,
    Compare, ProcessEditorInput, ProcessViewerEvent,
    Count
};
constexpr int kExportCount = static_cast<int>(Export::Count);

const char* exportName(Export e);
// The export of this name; Export::Count when the host keeps none of it.
Export exportByName(const char* name);

// The export addresses lie this far after the handle, as in the released host.
constexpr size_t kExportsAfterHandle = 1124;

struct PluginRecord {
    char moduleName[MAX_PATH];
    HMODULE module;
    unsigned char gap[kExportsAfterHandle - sizeof(HMODULE)];
    FARPROC exports[kExportCount];
};
static_assert(offsetof(PluginRecord, module) == MAX_PATH, "plugin record");
static_assert(offsetof(PluginRecord, exports) - offsetof(PluginRecord, module) == kExportsAfterHandle,
              "plugin record");

// A zero-filled record from the host's heap, with the name; nullptr when
// the heap refuses.
PluginRecord* newPluginRecord(const char* moduleName);
void freePluginRecord(PluginRecord* record);
// Takes the module's handle and the address of each export it has.
void fillPluginRecord(PluginRecord* record, HMODULE module);
// Clears the handle and every address, keeping the name.
void clearPluginRecord(PluginRecord* record);
// Whether any export address is still held.
bool holdsExports(const PluginRecord* record);

// Whether code at this address is inside a module that is loaded now and was
// loaded from this file (any case): false once the module is released, also
// when another module has come to the same address since.
bool addressInLoadedModule(const void* address, const char* path);

}  // namespace farhost
