// The list-mode panel's own keys. Every key that would have the host move,
// delete or create files in the plugin folders the list shows is taken here.
// Browse mode handles none, so that the host's file commands apply there.
#include "entry/keyCommands.h"

#include "commands/refusedKeys.h"
#include "browse/browseMakeFolder.h"
#include "commands/faultSearch.h"
#include "commands/pluginCommands.h"
#include "runtime/heap.h"
#include "state/pluginState.h"
#include "ui/messages.h"

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

enum Command {
    NONE, UNLOAD, UNINSTALL, RELOAD, SWITCH, HELP, CONFIGURE, RESCAN, CLEAR_CACHE, INFO, SEARCH,
};

// The host hands over a Delete key in two ways: the virtual key, and in FAR
// 1.75 a Delete without the enhanced flag (the numeric keypad's, and every
// Delete through a terminal) as the keypad code 0x109. Both are the same key
// to the user, and both must reach the plugin's command: a key it leaves alone
// is the host's own delete of the plugin's folder.
constexpr int VK_NUMPAD_DELETE = 0x109;

struct KeyBinding {
    int key;
    unsigned controlState;   // compared whole: Ctrl+Shift+Del is not Shift+Del
    Command command;
};

const KeyBinding LIST_KEYS[] = {
    {VK_DELETE, PKF_SHIFT, UNLOAD},
    {VK_NUMPAD_DELETE, PKF_SHIFT, UNLOAD},
    // FAR 1.75 deletes on the keypad's decimal point with Shift as on Shift+Del.
    {VK_DECIMAL, PKF_SHIFT, UNLOAD},
    {VK_F8, PKF_SHIFT, UNLOAD},
    {VK_DELETE, 0, UNINSTALL},
    {VK_NUMPAD_DELETE, 0, UNINSTALL},
    {VK_F8, 0, UNINSTALL},
    {VK_F6, PKF_SHIFT, RELOAD},
    {VK_F5, PKF_ALT, SWITCH},
    {VK_F1, PKF_SHIFT, HELP},
    {VK_F3, 0, INFO},
    {VK_F4, 0, CONFIGURE},
    {VK_F5, PKF_SHIFT, RESCAN},
    {VK_F7, PKF_SHIFT, CLEAR_CACHE},
    // FAR's archive commands, which a panel of plugin folders has no use for.
    {VK_F3, PKF_SHIFT, SEARCH},
};

Command commandOf(int key, unsigned controlState) {
    for (const KeyBinding& binding : LIST_KEYS)
        if (binding.key == key && binding.controlState == controlState) return binding.command;
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

namespace {

// The catalogue record of a panel item; nullptr for ".." and the like.
CatalogueRecord* recordOf(PanelState* panel, const PluginPanelItem& item) {
    if (!panel->catalogue || !strcmp(item.FindData.cFileName, "..")) return nullptr;
    DWORD index = item.NumberOfLinks;
    return index < static_cast<DWORD>(panel->catalogueCount) ? &panel->catalogue[index] : nullptr;
}

// As FAR's own commands do: the selected plugins when there are any, else
// the current one.
void actOnSelection(PanelState* panel, Command command) {
    if (!startupInfo.Control) return;
    PanelInfo info;
    memset(&info, 0, sizeof info);
    if (!startupInfo.Control(panel->handle, FCTL_GETPANELINFO, &info) || info.ItemsNumber <= 0 || !info.PanelItems)
        return;
    CatalogueRecord** records = heapArray<CatalogueRecord*>(static_cast<size_t>(info.ItemsNumber));
    if (!records) return;
    int count = 0;
    for (int i = 0; i < info.ItemsNumber; ++i)
        if (info.PanelItems[i].Flags & PPIF_SELECTED)
            if (CatalogueRecord* record = recordOf(panel, info.PanelItems[i])) records[count++] = record;
    if (!count && command != SEARCH && info.CurrentItem >= 0 && info.CurrentItem < info.ItemsNumber)
        if (CatalogueRecord* record = recordOf(panel, info.PanelItems[info.CurrentItem])) records[count++] = record;
    // A search starts from the selection, else from every plugin.
    if (count || command == SEARCH) {
        switch (command) {
        case SEARCH: searchFaultyPlugin(panel, records, count); break;
        case UNLOAD: unloadPlugins(panel->handle, records, count); break;
        case UNINSTALL: uninstallPlugins(panel, records, count); break;
        case SWITCH: switchPlugins(panel, records, count); break;
        default: reloadPlugins(panel->handle, records, count); break;
        }
    }
    heapFree(records);
}

}  // namespace

int handlePanelKey(PanelState* panel, int key, unsigned controlState) {
    if (!panel) return 0;
    if (panel->browseRootLength) {
        followBrowsedFolder(panel);
        return key == VK_F7 && controlState == 0 ? makeFolderInBrowsedFolder(panel) : 0;
    }
    // FAR's own file commands would act on the plugin folders themselves.
    int hint = refusedKeyHint(key, controlState);
    if (hint >= 0) {
        showRefusedKeyHint(hint);
        return 1;
    }
    Command command = commandOf(key, controlState);
    switch (command) {
    case NONE: return 0;
    case RESCAN: rescan(panel); return 1;
    case CLEAR_CACHE: clearHostPluginCache(); return 1;
    default: break;
    }
    if (command == UNLOAD || command == UNINSTALL || command == RELOAD || command == SWITCH ||
        command == SEARCH) {
        actOnSelection(panel, command);
        return 1;
    }
    CatalogueRecord* record = currentRecord(panel);
    if (!record) return 1;
    switch (command) {
    case HELP: showPluginHelp(record); break;
    case CONFIGURE: configurePlugin(record); break;
    case INFO: showPluginInfo(panel, record); break;
    default: break;
    }
    return 1;
}
