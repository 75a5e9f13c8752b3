// Letting go of every plugin FAR has loaded from a folder before the folder's
// files change (an update in place, an uninstall): its plugin DLLs are
// unloaded as Shift+Del does, and the helper modules they loaded go with
// their ExitFAR. Afterwards nothing of the folder may be loaded: a file that
// is mapped as a module cannot be replaced or removed.
#pragma once
#include <windows.h>

// The plugin DLLs under a folder that FAR had loaded and that were let go of.
struct ReleasedPlugins {
    static const int KEPT = 8;
    char paths[KEPT][MAX_PATH];
    int count;
    char stillLoaded[MAX_PATH];   // a module of the folder that stayed loaded after the release
};

// Unloads every plugin DLL under folder that FAR has loaded (those FAR keeps
// a record of) and checks that no module of the folder is loaded afterwards.
// 0 when all went (or none was loaded), else the id of the reason: the
// checks come first, so a refusal unloads nothing, and a module that stays
// loaded (named in stillLoaded) gives FAR its plugins back.
int releasePluginsUnder(HANDLE panel, const char* folder, ReleasedPlugins* released);
