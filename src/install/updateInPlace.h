// Updating a plugin FAR has loaded, in place and without a restart: its DLLs
// are unloaded (as Shift+Del does), the staged folder is swapped in whole,
// and FAR's records of them are put back so that FAR loads the new DLLs at
// their next use (as Shift+F6 does). Only on FAR builds whose plugin records
// Vantorel knows; elsewhere the installer leaves a loaded plugin alone.
#pragma once
#include "state/catalogueRecord.h"

#include <windows.h>

// The installer asks this for the installed plugin a drop would replace
// while the host has it loaded; with false the question offers only Cancel.
bool updateInPlaceAvailable(const CatalogueRecord& record);

// The DLLs under a plugin's folder that FAR had loaded and that were let go
// of for the swap.
struct ReleasedPlugins {
    static const int KEPT = 8;
    char paths[KEPT][MAX_PATH];
    int count;
};

// Unloads every DLL under folder that FAR has loaded. 0 when all went (or
// none was loaded), else the id of the reason the first could not; the
// checks come first, so a refusal unloads nothing.
int releaseForUpdate(HANDLE panel, const char* folder, ReleasedPlugins* released);
// Lets FAR load each released DLL again from the file now on disk. 0 when
// all came back, else the id of the first reason one did not.
int loadAgainAfterUpdate(const ReleasedPlugins& released);
