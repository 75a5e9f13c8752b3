// The state of one open panel. The host can show the plugin in both of its
// panels at once, so each OpenPlugin handle has its own: browsing, rebuilding
// or closing one panel never touches the catalogue another still indexes.
#pragma once
#include "state/catalogueRecord.h"
#include "far/farPlugin.h"

struct PanelState {
    HANDLE handle;
    int browseRootLength;          // 0 in list mode
    char currentDir[MAX_PATH];     // folder shown in browse mode
    CatalogueRecord* catalogue;    // records of the last list-mode build
    int catalogueCount;
    PluginPanelItem* panelItems;   // last list-mode array handed to the host
    int forceRescan;               // next build ignores cached records
    int savedViewMode;             // -1 = none remembered
    int startViewMode;
    int sortMode;                  // the host's sort mode, as Compare last saw it
    char title[MAX_PATH + 8];      // the panel title as handed to the host
    // After leaving a folder the cursor goes to the item just left: its name,
    // and whether the panel has been read again since (see panelLook).
    char cursorTarget[MAX_PATH];
    int cursorPending;             // 0 none, 1 waiting for the listing, 2 listed, 3 placed
    int repairChecked;             // interrupted changes were looked for when the list was first read
    PanelState* next;
};

// The panel the host last asked GetOpenPluginInfo of. The host asks the
// owner of a plugin panel inside FCTL_GETANOTHERPANELINFO, so this tells
// whether the other half is one of this plugin's own panels.
extern HANDLE lastInfoAsked;

// A new state for a freshly opened panel, in list mode.
PanelState* createPanelState(HANDLE handle);
// The state of an open panel; nullptr for a handle the plugin never gave out.
PanelState* findPanelState(HANDLE handle);
// Forgets the panel and releases its catalogue. In ClosePlugin's calling
// convention, so that the export is a single jump.
void WINAPI destroyPanelState(HANDLE handle);
void releaseCatalogue(PanelState* panel);
