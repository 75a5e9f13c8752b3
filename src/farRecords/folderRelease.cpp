#include "farRecords/folderRelease.h"

#include "runtime/folderWalk.h"
#include "farRecords/recordSync.h"
#include "farRecords/recordTable.h"
#include "farRecords/pluginRelease.h"
#include "foreign/loadedModules.h"
#include "foreign/probe.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

namespace {

struct Held {
    const FarRecordTable* table;   // nullptr on FAR builds whose records are unknown
    ReleasedPlugins* found;
    int more;   // beyond what is kept: refused rather than half done
};

// A loaded module of the folder that FAR's record names as loaded (where
// FAR's records are unknown: one that exports FAR's entry points) is a
// plugin DLL FAR has loaded.
// The helper modules a plugin loads (format modules and the like) are none;
// the plugin's ExitFAR lets go of them.
bool pluginModule(const Held& held, const char* path, HMODULE module) {
    if (held.table) {
        // FAR's own, loaded by FAR: a plugin that keeps itself loaded after
        // FAR let go of it is not FAR's any more.
        const uint8_t* record = farRecordOf(*held.table, path);
        return record && farRecordWord(record, FAR_RECORD_HANDLE) == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
    }
    uint32_t addresses[FRE_COUNT];
    entryAddresses(module, addresses);
    for (uint32_t address : addresses)
        if (address) return true;
    return false;
}

int notePlugin(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    Held* held = static_cast<Held*>(context);
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) return 0;
    HMODULE module = heldModule(path);
    if (!module || !pluginModule(*held, path, module)) return 0;
    if (held->found->count == ReleasedPlugins::KEPT) {
        ++held->more;
        return 0;
    }
    copyText(held->found->paths[held->found->count++], MAX_PATH, path);
    return 0;
}

}  // namespace

int releasePluginsUnder(HANDLE panel, const char* folder, ReleasedPlugins* released) {
    memset(released, 0, sizeof *released);
    FarRecordTable table;
    FarTableOutcome outcome = findFarRecordTable(&table);
    if (outcome == FAR_TABLE_NOT_FOUND) return MHostRecordNotFound;
    ReleasedPlugins loaded;
    memset(&loaded, 0, sizeof loaded);
    Held held = {outcome == FAR_TABLE_FOUND ? &table : nullptr, &loaded, 0};
    walkFolder(folder, notePlugin, &held, 1);
    if (held.more) return MHostRecordNotFound;
    for (int i = 0; i < loaded.count; ++i)
        if (int refusal = unloadRefusal(panel, heldModule(loaded.paths[i]))) return refusal;
    int why = 0;
    for (int i = 0; i < loaded.count && !why; ++i) {
        HMODULE module = heldModule(loaded.paths[i]);
        if (!module) continue;
        if (!releaseFromHost(&module, loaded.paths[i])) {
            why = MHostRecordNotFound;
            break;
        }
        copyText(released->paths[released->count++], MAX_PATH, loaded.paths[i]);
    }
    // A plugin that keeps itself loaded, or a helper its ExitFAR kept: its
    // files cannot be replaced under it, and FAR gets its plugins back.
    if (!why && moduleLoadedUnder(folder, released->stillLoaded, sizeof released->stillLoaded))
        why = MModuleStaysLoaded;
    if (why && released->count) syncRecordsUnder(folder);
    return why;
}
