// One drop onto the list being installed: what was dropped, what became of
// each item, and the steps the three kinds of install (a DLL with its
// companions, folders, archives) share.
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
    InstallUnit* units;
    int unitCount;
};

extern InstallQuestion* question;   // one at a time; too big for the host's stack

bool isFolder(const PluginPanelItem& item);
const char* baseName(const char* path);
// A name that would put its copy at the plugins root itself or above it
// (".", "..", or nothing after the last backslash) is nothing to install.
bool installable(const PluginPanelItem& item);
bool folderExists(const char* path);
void totalText(DWORD total, char* out, size_t cap);
// Records an item's outcome: installed items lose their selection mark.
void settle(Drop& drop, PluginPanelItem& item, int ok);
void noteWhy(int first, const char* path, unsigned long error);
// The staging folder for a unit, or false with the failure noted.
bool stageFor(InstallUnit& unit);
void discardStage(InstallUnit& unit);
// Copies a folder tree into folder (which exists); 1 when every step succeeded.
int copyTreeInto(const char* source, const char* folder);
// Moves a finished stage into place; the stage is gone either way.
bool placeUnit(Drop& drop, InstallUnit& unit);
// The closing box: what was installed, what was only copied, what failed and why.
void closingBox(const Drop& drop);

// A DLL with everything dropped together with it, as one plugin folder.
int installPlugin(Drop& drop);
// True when the user agreed and the folders were installed (whatever their outcome).
bool installFolders(Drop& drop, int first);
// True when the user was asked about the archives and agreed.
bool installArchives(Drop& drop, int first);

}  // namespace installing
