// Asking a foreign plugin for its menu strings the way the host would: make
// sure its DLL is loaded, hand it startup information, call GetPluginInfo.
#pragma once
#include "far/farPlugin.h"

// Probes a loaded module. info (44 bytes) is zeroed first, and zeroed again
// when the plugin faulted, so it counts only when StructSize is non-zero.
// Startup information goes to the plugin only when asked for. Returns the
// module, or nullptr when none was given.
HMODULE probePlugin(const char* dllPath, HMODULE module, PluginInfo* info, bool giveStartupInfo);
// Probes the plugin of this DLL. A DLL the process has loaded already (the
// host's plugin) is asked as it is: no startup information, no reference
// taken, *loadedHere false. Otherwise it is loaded by its full path and
// probed with startup information, *loadedHere true, and the caller ends it
// with releasePlugin once the answers are copied.
HMODULE loadAndProbePlugin(const char* dllPath, PluginInfo* info, bool* loadedHere);
// The same for a DLL the caller knows the process holds no module of (a
// snapshot of the loaded modules taken since foreign code last ran says so):
// asking the loader by path costs a file-system search when the answer is
// no. Loads it, probes it with startup information, and returns the module
// for releasePlugin, or nullptr when it did not load.
HMODULE loadAndProbeUnheldPlugin(const char* dllPath, PluginInfo* info);
// The module the DLL of this full path is loaded under, or nullptr.
HMODULE heldModule(const char* dllPath);
// The plugin's ExitFAR, if it exports one, under a guard: the host calls it
// before it releases a plugin, and the plugin releases there what it loaded
// for itself. Returns 0, or the code of the exception it raised.
DWORD callPluginExit(HMODULE module);
// FreeLibrary of a probed module, with a fault in its unloading contained.
// Returns 0, or the code of the exception the release raised.
DWORD releaseProbedLibrary(HMODULE module);
// Ends a plugin as the host ends one before releasing it: its ExitFAR, if
// it exports one, under a guard (what it loaded for itself, helper modules
// among them, it releases there), then the release. Only for a module whose
// load this plugin made or whose host record it cleared: the host's own
// plugin would lose its state. Returns 0, or the code of the exception
// ExitFAR or the release raised.
DWORD releasePlugin(HMODULE module);

typedef void(WINAPI* PFN_ExitFAR)();

// The release call, replaceable so that tests can make it fault.
typedef BOOL(WINAPI* ReleaseLibraryFunction)(HMODULE);
extern ReleaseLibraryFunction releaseLibrary;

// Loads a foreign DLL by its full path with its start-up code's faults
// contained and without the system's error box; nullptr when it did not load.
HMODULE loadForeignLibrary(const char* dllPath);
// The load call, replaceable so that tests can make it fault.
typedef HMODULE(WINAPI* LoadLibraryFunction)(LPCSTR, HANDLE, DWORD);
extern LoadLibraryFunction loadLibrary;

// A plugin's answers copied into our own memory: the first string of each menu
// list, read under a guard, so that a plugin handing out bad pointers cannot
// fault the description step. Counts and null lists are kept as answered.
struct MenuSnapshot {
    PluginInfo info;
    const char* lists[3][1];
    char texts[3][128];
};
void snapshotMenuStrings(const PluginInfo* answered, MenuSnapshot* out);
