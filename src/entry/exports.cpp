// The plugin's exports, as the host calls them: each hands its work to the
// room it belongs to, most in a single jump (the work takes the same
// arguments in the same calling convention).
#include "browse/browse.h"
#include "entry/panelEntry.h"
#include "entry/startup.h"
#include "settings/settingsDialog.h"
#include "state/panelState.h"
#include "ui/panelLook.h"

extern "C" void WINAPI SetStartupInfo(const PluginStartupInfo* info) {
    placeInHost(info);
}

extern "C" int WINAPI GetMinFarVersion() {
    return FAR_MIN_VERSION_170;
}

extern "C" void WINAPI GetPluginInfo(PluginInfo* info) {
    describePlugin(info);
}

extern "C" HANDLE WINAPI OpenPlugin(int openFrom, int item) {
    return openPanel(openFrom, item);
}

extern "C" void WINAPI ClosePlugin(HANDLE handle) {
    destroyPanelState(handle);
}

extern "C" int WINAPI GetFindData(HANDLE handle, PluginPanelItem** items, int* count, int opMode) {
    return readPanel(handle, items, count, opMode);
}

extern "C" void WINAPI FreeFindData(HANDLE handle, PluginPanelItem* items, int count) {
    freePanelItems(handle, items, count);
}

extern "C" void WINAPI GetOpenPluginInfo(HANDLE handle, OpenPluginInfo* info) {
    describePanel(handle, info);
}

extern "C" int WINAPI Compare(HANDLE handle, const PluginPanelItem* item1, const PluginPanelItem* item2,
                              unsigned int mode) {
    return comparePanelItems(handle, item1, item2, mode);
}

extern "C" int WINAPI SetDirectory(HANDLE handle, const char* dir, int opMode) {
    return changePanelFolder(handle, dir, opMode);
}

extern "C" int WINAPI ProcessKey(HANDLE handle, int key, unsigned int controlState) {
    return panelKey(handle, key, controlState);
}

extern "C" int WINAPI PutFiles(HANDLE handle, PluginPanelItem* items, int count, int move, int opMode) {
    return dropOnPanel(handle, items, count, move, opMode);
}

extern "C" int WINAPI Configure(int item) {
    return runSettingsDialog(item);
}
