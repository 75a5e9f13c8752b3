// The entry points that open, read and close a panel, dispatching to list mode
// (the catalogue) or browse mode (a plugin's folder).
#include "catalogue/catalogueBuild.h"
#include "commands/browse.h"
#include "install/install.h"
#include "commands/keyCommands.h"
#include "install/sameFolderCheck.h"
#include "state/panelState.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "settings/settings.h"
#include "ui/panelLook.h"

extern "C" HANDLE WINAPI OpenPlugin(int, int) {
    ++openCount;
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(openCount));
    readSettings();
    PanelState* panel = createPanelState(handle);
    if (!panel) return INVALID_HANDLE_VALUE;
    panel->startViewMode = JConfig.startView;
    return handle;
}

extern "C" void WINAPI ClosePlugin(HANDLE handle) {
    destroyPanelState(handle);
}

extern "C" int WINAPI GetFindData(HANDLE handle, PluginPanelItem** items, int* count, int opMode) {
    PanelState* panel = findPanelState(handle);
    if (!panel || !items || !count) return 0;
    int read = panel->browseRootLength ? listBrowseFolder(panel, items, count)
                                       : buildCatalogue(panel, items, count, opMode);
    panelWasRead(panel);
    return read;
}

extern "C" void WINAPI FreeFindData(HANDLE handle, PluginPanelItem* items, int) {
    // The descriptions and versions the items point to live in the catalogue.
    heapFree(items);
    if (PanelState* panel = findPanelState(handle))
        if (panel->panelItems == items) panel->panelItems = nullptr;
}

extern "C" int WINAPI ProcessKey(HANDLE handle, int key, unsigned int controlState) {
    PanelState* panel = findPanelState(handle);
    // The host also passes its own internal events (codes from 0x1000 up)
    // and a first look at each key (PKF_PREPROCESS); only a key the panel
    // acts on counts as the user moving on.
    const int PREPROCESS = 0x80000, FIRST_INTERNAL_KEY = 0x1000;
    if (!(key & PREPROCESS) && (key & 0xFFFF) < FIRST_INTERNAL_KEY) cursorMovedByUser(panel);
    return handlePanelKey(panel, key, controlState);
}

extern "C" int WINAPI PutFiles(HANDLE handle, PluginPanelItem* items, int count, int move, int opMode) {
    PanelState* panel = findPanelState(handle);
    // In browse mode the host copies by itself; a panel we never opened gets nothing.
    if (!panel || panel->browseRootLength) return 0;
    if (refuseDropFromPluginFolders(items, count)) return 0;
    return installDroppedItems(panel, items, count, opMode);
}
