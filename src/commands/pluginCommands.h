// What the panel's keys do to one plugin, and to the host's plugin cache.
#pragma once
#include "catalogue/catalogueRecord.h"

// Asks, then releases the module the host loaded the plugin under and has
// the panel rebuilt. A plugin the host has not loaded, and this plugin
// itself, are refused with a warning.
void unloadPlugin(HANDLE handle, CatalogueRecord* record);
// Releases a record's module and clears the handle; a failed or faulting
// release is reported and the handle kept.
void freePluginModule(HMODULE* module);
// The help of the folder the plugin's DLL lies in.
void showPluginHelp(const CatalogueRecord* record);
// Runs the plugin's own Configure, loading and initialising the DLL for the
// command when the host has not loaded it.
void configurePlugin(const CatalogueRecord* record);
// The F3 box: the plugin's file, whether FAR has it loaded or cached, its
// entry points, and whether FAR 1.70 can use it, and if not why.
void showPluginInfo(const CatalogueRecord* record);
// F4 on a DLL that cannot be loaded: why, as F3 tells it.
void showLoadFailure(const CatalogueRecord* record);
// Asks, then deletes the host's plugin cache from the registry.
void clearHostPluginCache();
// Deletes a registry key with everything below it; 1 when all of it is gone.
int deleteKeyTree(HKEY parent, const char* name);
