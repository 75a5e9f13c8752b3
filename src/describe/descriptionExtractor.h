// The one-line description of a plugin, from the best source it has: its own
// menu strings, its help file, or its file_id.diz.
#pragma once
#include "far/farPlugin.h"

// description: 128 bytes, empty on entry; folder: the plugin folder with its
// trailing backslash; info: the plugin's own answer, or nullptr when it was
// not asked or did not answer. True when the description left is non-empty.
bool extractDescription(char* description, const char* folder, const PluginInfo* info);
