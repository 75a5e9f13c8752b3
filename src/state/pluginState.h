// Library-wide state derived from the host once, at SetStartupInfo.
#pragma once
#include "far/farPlugin.h"

#include <stdint.h>

extern PluginStartupInfo startupInfo;
extern FarStandardFunctions standardFunctions;
extern char cacheFilePath[MAX_PATH];      // empty when the path would not fit
extern const char* pluginsRoot;           // ends with a backslash
extern const char* personalPluginsFolder; // ends with a backslash, or nullptr
extern unsigned openCount;
// A search for the plugin behind a fault is under way (the panel title says so).
extern int faultSearchUnderWay;

// Whether folder (with or without its trailing backslash) is a plugins
// folder itself, or holds one: never a plugin's folder to remove or replace.
bool holdsPluginsRoot(const char* folder);

// The FAR version the host answers (build << 16 | major << 8 | minor), 0 when it does not.
uint32_t hostFarVersion();

// Derivations of SetStartupInfo, apart for testing.
void deriveCacheFilePath(const char* moduleName, char* out);
const char* derivePluginsRoot(const char* moduleName, char* buffer);
