// The work behind the exports that open, read and close a panel, dispatching
// to list mode (the catalogue) or browse mode (a plugin's folder).
#include "entry/panelEntry.h"

#include "commands/changeRepair.h"
#include "commands/faultSearch.h"

#include "catalogue/catalogueBuild.h"
#include "browse/browse.h"
#include "entry/keyCommands.h"
#include "describe/descriptionLanguage.h"
#include "install/install.h"
#include "install/sameFolderCheck.h"
#include "state/panelState.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "settings/settings.h"
#include "ui/messages.h"
#include "ui/panelLook.h"
#include "ui/progress.h"

namespace {

// The catalogue build tells its progress in the progress window.
void scanStarts(const char* title, int total, int quiet) { progress.start(title, total, quiet); }
void scanReaches(const char* path, int position) { progress.update(path, 0, position); }
void scanEnds() { progress.stop(); }
void noPluginsFound() { showMsg(MNoPlugins); }
const BuildSink scanSink = {scanStarts, scanReaches, scanEnds, noPluginsFound};

int readCatalogue(PanelState* panel, PluginPanelItem** items, int* count, int opMode) {
    // A change FAR's end interrupted is repaired before the list is first
    // read, with the panel FAR knows by now.
    if (!panel->repairChecked) {
        panel->repairChecked = 1;
        repairInterruptedChanges(panel->handle);
        offerToResumeSearch(panel);
    }
    BuildSettings settings = {!JConfig.skipProbing, JConfig.markLoaded != 0, languageTag(msgText(MLanguageName))};
    return buildCatalogue(panel, items, count, opMode, settings, scanSink);
}

}  // namespace

HANDLE WINAPI openPanel(int, int) {
    ++openCount;
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(openCount));
    readSettings();
    PanelState* panel = createPanelState(handle);
    if (!panel) return INVALID_HANDLE_VALUE;
    panel->startViewMode = JConfig.startView;
    return handle;
}

int WINAPI readPanel(HANDLE handle, PluginPanelItem** items, int* count, int opMode) {
    PanelState* panel = findPanelState(handle);
    if (!panel || !items || !count) return 0;
    int read = panel->browseRootLength ? listBrowseFolder(panel, items, count)
                                       : readCatalogue(panel, items, count, opMode);
    panelWasRead(panel);
    return read;
}

void WINAPI freePanelItems(HANDLE handle, PluginPanelItem* items, int) {
    // The descriptions and versions the items point to live in the catalogue.
    heapFree(items);
    if (PanelState* panel = findPanelState(handle))
        if (panel->panelItems == items) panel->panelItems = nullptr;
}

int WINAPI panelKey(HANDLE handle, int key, unsigned int controlState) {
    PanelState* panel = findPanelState(handle);
    // The host also passes its own internal events (codes from 0x1000 up)
    // and a first look at each key (PKF_PREPROCESS); only a key the panel
    // acts on counts as the user moving on.
    const int PREPROCESS = 0x80000, FIRST_INTERNAL_KEY = 0x1000;
    if (!(key & PREPROCESS) && (key & 0xFFFF) < FIRST_INTERNAL_KEY) cursorMovedByUser(panel);
    return handlePanelKey(panel, key, controlState);
}

int WINAPI dropOnPanel(HANDLE handle, PluginPanelItem* items, int count, int, int opMode) {
    PanelState* panel = findPanelState(handle);
    // In browse mode the host copies by itself; a panel we never opened gets nothing.
    if (!panel || panel->browseRootLength) return 0;
    if (refuseDropFromPluginFolders(items, count) || refuseWhileJournalWaits()) return 0;
    return installDroppedItems(panel, items, count, opMode);
}
