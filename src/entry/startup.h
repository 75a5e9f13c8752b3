// The work behind SetStartupInfo and GetPluginInfo: the calls that place the
// plugin in the host before any panel is open.
#pragma once
#include "far/farPlugin.h"

// Each in its export's calling convention, so that the export is a single jump.
// Keeps the host's startup information and learns the plugin's folders and settings.
void WINAPI placeInHost(const PluginStartupInfo* info);
// What the host lists of the plugin in its menus.
void WINAPI describePlugin(PluginInfo* info);
