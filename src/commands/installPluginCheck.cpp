#include "commands/installPluginCheck.h"

#include <windows.h>

bool isFar170Plugin(const char* path) {
    if (!path || !*path) return false;
    // A bare name would be searched for along the DLL path, FAR's own folder
    // first: look at the file that was dropped.
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return false;
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Mapped without resolving imports and without calling its DllMain.
    HMODULE module = LoadLibraryExA(full, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    SetErrorMode(oldMode);
    if (!module) return false;
    bool plugin = GetProcAddress(module, "SetStartupInfo") != nullptr;
    FreeLibrary(module);
    return plugin;
}
