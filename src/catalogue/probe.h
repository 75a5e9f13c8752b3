// Asking a foreign plugin for its menu strings the way the host would: make
// sure its DLL is loaded, hand it startup information, call GetPluginInfo.
#pragma once
#include "far/farPlugin.h"

// Probes a loaded module. info (44 bytes) is zeroed first, and zeroed again
// when the plugin faulted, so it counts only when StructSize is non-zero.
// Startup information goes to the plugin only when asked for. Returns the
// module, or nullptr when none was given.
HMODULE probePlugin(const char* dllPath, HMODULE module, PluginInfo* info, bool giveStartupInfo);
// Loads the DLL by its full path and probes it with startup information; the
// caller frees the returned module once the answers are copied.
HMODULE loadAndProbePlugin(const char* dllPath, PluginInfo* info);
// FreeLibrary of a probed module, with a fault in its unloading contained.
// Returns 0, or the code of the exception the release raised.
DWORD releaseProbedLibrary(HMODULE module);

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
