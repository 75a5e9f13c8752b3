// What one dropped plugin, folder or archive becomes, and where it goes: the
// installed plugin of the same DLL (wherever it lies and whatever its
// folder is called) is updated instead of a second copy made beside it.
#pragma once
#include "state/catalogueRecord.h"
#include "state/panelState.h"

#include <windows.h>

// One thing put in place as a whole: the plugin folder a DLL drop makes or
// updates, one dropped folder, or one unpacked archive. Each is made in a
// staging folder first and moved into the plugins tree only when complete.
enum UnitKind { UNIT_PLUGIN, UNIT_FOLDER, UNIT_ARCHIVE };

const int UNFIT_KEPT = 3;

struct InstallUnit {
    UnitKind kind;
    PluginPanelItem* item;            // the folder or archive; for a DLL drop, its last DLL
    char target[MAX_PATH];            // where it goes
    char below[MAX_PATH];             // a DLL drop's files go here below target (an updated plugin's bin\)
    char stage[MAX_PATH];             // made outside the plugins tree, "" when none
    const CatalogueRecord* match;     // the installed plugin of one of its DLLs
    const CatalogueRecord* otherMatch; // another installed plugin, in another folder, of another of its DLLs
    bool looseMatch;                  // its installed plugin lies loose in a plugins folder
    char matchedDll[MAX_PATH];        // the new file of that DLL
    bool targetFits;
    bool exists;                      // target is there already
    bool blocked;                     // a file, not a folder, is there
    bool loaded;                      // the host has a DLL under target loaded
    bool refused;                     // loaded, and no update in place for it
    bool fromPluginPanel;             // ... because the drop comes from a plugin's panel, which may be its own
    bool pathTooLong;                 // a path in its content cannot be read
    bool failed;
    int dlls, plugins;                // DLLs in it, and those the host would keep as plugins
    int unfitCount;
    char unfit[UNFIT_KEPT][MAX_PATH]; // DLLs that are no plugins, when none is one
    DWORD size;
};
