// Copying onto the list what already lies in FAR's plugin folders (an item of
// another Vantorel panel, or a file inside a plugin's folder) would copy each
// file onto itself: such a drop is refused before anything is asked.
#pragma once
#include "far/farPlugin.h"

// True when path is folder itself or lies below it; folder ends with a
// backslash; letter case is ignored. Plain text work.
bool liesWithin(const char* path, const char* folder);

// Says so and returns true when any item lies in the plugins root or the
// personal plugins folder.
bool refuseDropFromPluginFolders(const PluginPanelItem* items, int count);
