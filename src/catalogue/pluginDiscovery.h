// Finding the plugin DLLs under FAR's plugins folders.
#pragma once
#include "runtime/folderWalk.h"

// Pushes the full path of each "*.dll" file, and of each switched-off one,
// onto the JStack context.
int collectDll(const WIN32_FIND_DATAA* entry, const char* folder, void* stack);

// Fills an empty stack with the DLL paths under the plugins root, then under
// the personal plugins folder; the last found lies on top.
void discoverPlugins(JStack* stack);
