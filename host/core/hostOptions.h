// How a host is set up (its folder, registry root, language, the build of
// FAR it stands for) and the version it answers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace farhost {

struct HostOptions {
    std::string hostDir;            // the FAR folder, plugins live in hostDir\Plugins
    std::string rootKey;            // HKCU path handed to plugins as RootKey; empty = a fresh unique one
    std::string language = "English";
    bool writePersonalPath = false; // write "PersonalPluginsPath" under the sibling key "System"
    std::string personalPluginsPath;
    bool removeRegistryOnExit = true;
    // Load every plugin DLL under pluginsDir() and the personal plugins
    // folder at start, as the host does (see Host::loadAllPlugins).
    bool loadAll = false;
    std::vector<std::string> leaveUnloaded;   // DLL file names loadAll skips (any case)
    // Keep the host's plugin cache (PluginsCache beside the RootKey's
    // Plugins key) as the host does: a slot for each plugin loaded at start
    // and after each Configure.
    bool writePluginsCache = true;
    // Answer and lay out records as FAR 1.75 build 2634 does (1,500-byte
    // records with ProcessDialogEvent, version 1.75, the keypad's Del as
    // KEY_NUMDEL) instead of FAR 1.70 build 2087.
    bool far175 = false;
    // Another build of the same FAR to answer ACTL_GETFARVERSION with (0:
    // the build above), its records laid out as above: a plugin that knows
    // the record layout of particular builds only must not take it for one.
    DWORD otherBuild = 0;
};

// The version the host answers to ACTL_GETFARVERSION, as the host forms it:
// (major << 8) | minor | (build << 16).
constexpr DWORD makeFarVersion(int major, int minor, int build) {
    return static_cast<DWORD>((major << 8) | minor | (build << 16));
}
constexpr DWORD kFar170Version = makeFarVersion(1, 70, 2087);
constexpr DWORD kFar175Version = makeFarVersion(1, 75, 2634);

}  // namespace farhost
