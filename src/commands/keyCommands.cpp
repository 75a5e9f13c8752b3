// The list-mode panel's own keys. Browse mode handles none, so that the host's
// file commands apply there.
#include "entry/panelState.h"
#include "entry/pluginState.h"

namespace {

// Rebuilds the catalogue, examining every plugin again instead of taking
// unchanged ones from the cache.
int rescan(HANDLE handle, PanelState* panel) {
    panel->forceRescan = 1;
    if (startupInfo.Control) {
        startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
    }
    return 1;
}

}  // namespace

extern "C" int WINAPI ProcessKey(HANDLE handle, int key, unsigned int controlState) {
    PanelState* panel = findPanelState(handle);
    if (!panel || panel->browseRootLength) return 0;
    if (key == VK_F5 && controlState == PKF_SHIFT) return rescan(handle, panel);
    return 0;
}
