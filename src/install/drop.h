// One drop onto the list being installed: what was dropped, what became of
// each item, and the closing box that tells it.
#pragma once
#include "install/installQuestion.h"
#include "install/installTarget.h"
#include "state/panelState.h"

#include <windows.h>

namespace installing {

struct Drop {
    PanelState* panel;
    PluginPanelItem* items;
    int count;
    int dlls, folders, archives;
    PluginPanelItem* lastDll;
    DWORD total;        // low size words only; wraps like the host's own 32-bit sums
    int quiet;
    int installed;      // items that went over whole
    int pluginUnits;    // units placed that hold a plugin
    int fileUnits;      // units placed that hold none
    int updatedInPlace; // plugin units FAR loads from disk at their next use
    int restartFirst;   // plugin units FAR may use the old build's record of until it restarts
    int staysOff;       // plugin units that update a plugin switched off: FAR loads nothing
    int pluginGone;     // units that replaced an installed plugin with files that hold none
    InstallUnit* units;
    int unitCount;
};

extern InstallQuestion* question;   // one at a time; too big for the host's stack

bool isFolderItem(const PluginPanelItem& item);
// A name that would put its copy at the plugins root itself or above it
// (".", "..", or nothing after the last backslash) is nothing to install.
bool installableItem(const PluginPanelItem& item);
// A byte count with thousands separators.
void bytesText(DWORD total, char* out, size_t cap);
// Counts an installed item; it loses its selection mark, so that the host
// keeps selected only what was not installed.
void markInstalled(Drop& drop, PluginPanelItem& item);
// The closing box: what was installed, what was only copied, what failed and why.
void closingBox(const Drop& drop);

// A DLL with everything dropped together with it, as one plugin folder.
int installPlugin(Drop& drop);
// True when the user agreed and the folders were installed (whatever their outcome).
bool installFolders(Drop& drop, int first);
// True when the user was asked about the archives and agreed.
bool installArchives(Drop& drop, int first);

}  // namespace installing
