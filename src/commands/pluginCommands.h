// What the panel's keys do to one plugin, and to the host's plugin cache.
#pragma once
#include "state/catalogueRecord.h"
#include "state/panelState.h"

// Asks, then releases the module the host loaded the plugin under and has
// the panel rebuilt. A plugin the host has not loaded, and this plugin
// itself, are refused with a warning.
void unloadPlugin(HANDLE handle, CatalogueRecord* record);
// Why the module may not be unloaded now: a message id, or 0. Vantorel's own
// module, and any module while a foreign plugin panel is open in the other
// half, are refused.
int unloadRefusal(HANDLE handle, HMODULE module);
// Clears the host's record of the module and releases it (ExitFAR first);
// false, with nothing written or released, when the record is not found
// for certain.
bool releaseFromHost(HMODULE* module, const char* path);
// Asks, then unloads the plugin DLLs of the current plugin's folder that FAR
// has loaded and removes the folder whole (to the Recycle Bin where there is
// one), or removes nothing and says which file stands in the way.
void uninstallPlugin(PanelState* panel, const CatalogueRecord* record);
// Puts FAR's record of a plugin this plugin unloaded back into the state of a
// plugin known from FAR's cache and not loaded, so that FAR loads the DLL on
// disk at its next use.
void reloadPlugin(HANDLE handle, const CatalogueRecord* record);
// The same without a question, for a plugin whose DLL was just replaced:
// 0 when FAR's record was put back, else the id of the reason it could not
// be (shown first when report is set).
int letFarLoadAgain(const char* path, bool report);
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
