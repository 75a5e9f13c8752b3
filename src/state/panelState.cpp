#include "state/panelState.h"

#include "runtime/heap.h"

static PanelState* openPanels = nullptr;
HANDLE lastInfoAsked = nullptr;

PanelState* createPanelState(HANDLE handle) {
    PanelState* panel = heapArray<PanelState>(1);
    if (!panel) return nullptr;
    panel->handle = handle;
    panel->savedViewMode = -1;
    panel->next = openPanels;
    openPanels = panel;
    return panel;
}

PanelState* findPanelState(HANDLE handle) {
    for (PanelState* p = openPanels; p; p = p->next)
        if (p->handle == handle) return p;
    return nullptr;
}

void releaseCatalogue(PanelState* panel) {
    heapFree(panel->catalogue);
    panel->catalogue = nullptr;
    panel->catalogueCount = 0;
}

void WINAPI destroyPanelState(HANDLE handle) {
    for (PanelState** link = &openPanels; *link; link = &(*link)->next) {
        if ((*link)->handle != handle) continue;
        PanelState* panel = *link;
        *link = panel->next;
        releaseCatalogue(panel);
        heapFree(panel);
        return;
    }
}
