// Whether a dropped DLL is something FAR 1.70 would load as a plugin.
#pragma once

// True when the file loads as a 32-bit image (without running any of its
// code) and exports SetStartupInfo, the entry point every FAR 1.70 plugin
// has. A relative name resolves against the process's current folder.
bool isFar170Plugin(const char* path);
