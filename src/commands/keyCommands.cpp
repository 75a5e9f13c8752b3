// The list-mode panel's own keys. Browse mode handles none, so that the host's
// file commands apply there.
#include "commands/keyCommands.h"

#include "commands/browseMakeFolder.h"
#include "commands/pluginCommands.h"
#include "state/pluginState.h"

#include <string.h>

namespace {

void updateAndRedraw(HANDLE handle) {
    if (!startupInfo.Control) return;
    startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
    startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
}

// Rebuilds the catalogue, examining every plugin again instead of taking
// unchanged ones from the cache.
void rescan(PanelState* panel) {
    panel->forceRescan = 1;
    updateAndRedraw(panel->handle);
}

enum Command { NONE, UNLOAD, HELP, CONFIGURE, RESCAN, CLEAR_CACHE, INFO };

Command commandOf(int key, unsigned controlState) {
    // Modifiers are compared whole: Ctrl+Shift+Del is not Shift+Del.
    if (controlState == PKF_SHIFT) {
        switch (key) {
        case VK_DELETE:
        case VK_F8: return UNLOAD;
        case VK_F1: return HELP;
        case VK_F5: return RESCAN;
        case VK_F7: return CLEAR_CACHE;
        default: return NONE;
        }
    }
    if (controlState == 0 && key == VK_F4) return CONFIGURE;
    if (controlState == 0 && key == VK_F3) return INFO;
    return NONE;
}

}  // namespace

const PluginPanelItem* currentPanelItem(HANDLE handle) {
    if (!startupInfo.Control) return nullptr;
    PanelInfo info;
    memset(&info, 0, sizeof info);
    if (!startupInfo.Control(handle, FCTL_GETPANELINFO, &info)) return nullptr;
    if (info.ItemsNumber <= 0 || !info.PanelItems) return nullptr;
    if (info.CurrentItem < 0 || info.CurrentItem >= info.ItemsNumber) return nullptr;
    return &info.PanelItems[info.CurrentItem];
}

CatalogueRecord* currentRecord(PanelState* panel) {
    const PluginPanelItem* item = currentPanelItem(panel->handle);
    if (!item || !panel->catalogue) return nullptr;
    // The ".." a host may add carries no catalogue index of ours.
    if (!strcmp(item->FindData.cFileName, "..")) return nullptr;
    DWORD index = item->NumberOfLinks;
    if (index >= static_cast<DWORD>(panel->catalogueCount)) return nullptr;
    return &panel->catalogue[index];
}

int handlePanelKey(PanelState* panel, int key, unsigned controlState) {
    if (!panel || panel->browseRootLength) return panel && key == VK_F7 && controlState == 0 ? makeFolderInBrowsedFolder(panel) : 0;
    Command command = commandOf(key, controlState);
    switch (command) {
    case NONE: return 0;
    case RESCAN: rescan(panel); return 1;
    case CLEAR_CACHE: clearHostPluginCache(); return 1;
    default: break;
    }
    CatalogueRecord* record = currentRecord(panel);
    if (!record) return 1;
    switch (command) {
    case UNLOAD: unloadPlugin(panel->handle, record); break;
    case HELP: showPluginHelp(record); break;
    case CONFIGURE: configurePlugin(record); break;
    case INFO: showPluginInfo(record); break;
    default: break;
    }
    return 1;
}
