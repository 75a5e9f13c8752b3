#include "install/installTarget.h"

#include "runtime/folderWalk.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "install/updateInPlace.h"
#include "farRecords/pluginRelease.h"
#include "ui/messages.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <string.h>

const CatalogueRecord* installedPluginOf(const PanelState* panel, const char* dllName) {
    if (!panel || !panel->catalogue) return nullptr;
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& record = panel->catalogue[i];
        if (record.missing) continue;
        char path[MAX_PATH];
        copyTextN(path, sizeof path, record.dllPath, boundedLength(record.dllPath, MAX_PATH));
        // A switched-off plugin is still the installed copy of its DLL.
        if (isSwitchedOff(path)) path[strlen(path) - (sizeof SWITCHED_OFF_SUFFIX - 1)] = 0;
        if (equalNoCase(fileNameOf(path), dllName)) return &record;
    }
    return nullptr;
}

bool hasExtension(const char* name, const char* extension) {
    const char* dot = strrchr(name, '.');
    return dot && equalNoCase(dot, extension);
}

namespace {

// An installed plugin's folder stands for it; the plugins folder itself (a
// DLL lying loose in it) is never replaced.
bool matchedFolder(const CatalogueRecord& record, char* folder, char* below) {
    char dllPath[MAX_PATH];
    copyTextN(dllPath, sizeof dllPath, record.dllPath, boundedLength(record.dllPath, MAX_PATH));
    pluginFolderOf(dllPath, folder, false);
    if (holdsPluginsRoot(folder)) return false;
    // The DLL's own folder below the plugin folder (a bin folder), with its backslash.
    const char* rest = dllPath + strlen(folder);
    if (*rest == '\\') ++rest;
    copyTextN(below, MAX_PATH, rest, static_cast<size_t>(fileNameOf(dllPath) - rest));
    return true;
}

void noteUnfit(InstallUnit& unit, const char* path) {
    if (unit.unfitCount < UNFIT_KEPT) copyText(unit.unfit[unit.unfitCount], MAX_PATH, path);
    ++unit.unfitCount;
}

// A DLL under folder that the host has loaded, the first found.
int findLoaded(const WIN32_FIND_DATAA* entry, const char* folder, void* found) {
    HMODULE* module = static_cast<HMODULE*>(found);
    if (*module || (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !hasExtension(entry->cFileName, ".dll"))
        return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (appendWhole(path, sizeof path, entry->cFileName)) *module = GetModuleHandleA(path);
    return 0;
}

}  // namespace

void noteMatch(InstallUnit& unit, const CatalogueRecord* installed, const char* newDll) {
    if (!installed) return;
    if (!unit.match) {
        unit.match = installed;
        copyText(unit.matchedDll, sizeof unit.matchedDll, newDll);
        return;
    }
    // One unit, one plugin folder: a second installed plugin elsewhere would
    // leave one of the two beside its old copy, and FAR would list it twice.
    // Two DLLs of one plugin's tree (one in a subfolder of the other's) are
    // the same plugin.
    char first[MAX_PATH], second[MAX_PATH];
    pluginFolderOf(unit.match->dllPath, first, false);
    pluginFolderOf(installed->dllPath, second, false);
    bool oneTree = equalNoCase(first, second) || liesInFolder(first, second) || liesInFolder(second, first);
    if (!unit.otherMatch && !oneTree) unit.otherMatch = installed;
    // The plugin's folder is the outer one: the unit replaces all of it.
    if (liesInFolder(first, second)) {
        unit.match = installed;
        copyText(unit.matchedDll, sizeof unit.matchedDll, newDll);
    }
}

namespace {

struct ContentScan {
    const PanelState* panel;
    InstallUnit* unit;
};

// The DLLs in a folder tree: which the host would keep as plugins, which
// installed plugin they update, and whether any path is too long to read.
int scanEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    ContentScan* scan = static_cast<ContentScan*>(context);
    InstallUnit& unit = *scan->unit;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    bool fits = appendWhole(path, sizeof path, entry->cFileName) && strlen(path) < MAX_PATH - 2;
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!fits) unit.pathTooLong = true;
        return 0;
    }
    unit.size += entry->nFileSizeLow;
    if (!hasExtension(entry->cFileName, ".dll")) return 0;
    if (!fits) {
        unit.pathTooLong = true;
        return 0;
    }
    ++unit.dlls;
    // Only a plugin DLL stands for a plugin: helper DLLs of the same name
    // may lie in several plugins' folders.
    bool plugin = isFar170Plugin(path);
    if (plugin) ++unit.plugins;
    else noteUnfit(unit, path);
    if (plugin) noteMatch(unit, installedPluginOf(scan->panel, entry->cFileName), path);
    return 0;
}

}  // namespace

void scanUnitContent(const PanelState* panel, InstallUnit& unit, const char* folder) {
    ContentScan scan = {panel, &unit};
    walkFolder(folder, scanEntry, &scan, 1);
}

void settleUnitTarget(HANDLE panel, InstallUnit& unit, const char* name) {
    char below[MAX_PATH] = "";
    if (unit.match && matchedFolder(*unit.match, unit.target, below)) {
        unit.targetFits = true;
        copyText(unit.below, sizeof unit.below, below);
    } else {
        unit.looseMatch = unit.match != nullptr;
        unit.match = nullptr;
        copyText(unit.target, sizeof unit.target, pluginsRoot);
        unit.targetFits = appendWhole(unit.target, sizeof unit.target, name) && strlen(unit.target) < MAX_PATH - 1;
        if (!unit.targetFits) {
            copyText(unit.target, sizeof unit.target, pluginsRoot);
            appendText(unit.target, sizeof unit.target, name);
        }
    }
    if (!unit.targetFits) return;
    DWORD attributes = GetFileAttributesA(unit.target);
    unit.exists = attributes != INVALID_FILE_ATTRIBUTES;
    unit.blocked = unit.exists && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    HMODULE loaded = nullptr;
    if (unit.exists && !unit.blocked) walkFolder(unit.target, findLoaded, &loaded, 1);
    if (unit.match && !loaded) loaded = GetModuleHandleA(unit.match->dllPath);
    unit.loaded = loaded != nullptr;
    unit.refused = unit.loaded && !(unit.match && updateInPlaceAvailable(*unit.match));
    // A drop from a plugin's panel in the other half: that panel may be the
    // plugin's own, and then it cannot be let go of while the copy runs.
    unit.fromPluginPanel = unit.loaded && !unit.refused && unloadRefusal(panel, loaded) == MUnloadPanelOpen;
    if (unit.fromPluginPanel) unit.refused = true;
}
