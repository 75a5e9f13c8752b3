// The build an update replaced is kept as the plugin's previous build, one
// per plugin, beside the plugins folder (same disk, out of FAR's reach: FAR
// loads every DLL it finds under its plugins folders), under the plugin
// folder's own path below that plugins folder.
#pragma once
#include <stddef.h>

// Where the previous build of the plugin folder target is kept; false when
// target lies in no plugins folder.
bool previousBuildPath(const char* target, char* out, size_t cap);
// Bytes all previous builds beside the plugins folders take.
unsigned long long previousBuildsSize();
