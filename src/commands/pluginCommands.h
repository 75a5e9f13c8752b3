// What the panel's keys do to one plugin, and to the host's plugin cache.
#pragma once
#include "state/catalogueRecord.h"
#include "state/panelState.h"

// Asks, then releases the modules the host loaded the plugins under and has
// the panel rebuilt. Plugins the host has not loaded are passed over (one
// alone is told so); any refusal (this plugin itself, an open panel) stops
// all of them.
void unloadPlugins(HANDLE handle, CatalogueRecord* const* records, int count);
// Asks once, then unloads the plugin DLLs of the plugins' folders that FAR
// has loaded and removes the folders whole (to the Recycle Bin where there
// is one), or removes nothing and says what stands in the way.
void uninstallPlugins(PanelState* panel, CatalogueRecord* const* records, int count);
// Puts FAR's records of plugins this plugin unloaded back into the state of
// plugins known from FAR's cache and not loaded, so that FAR loads the DLLs
// on disk at their next use. Any that cannot come back stops all of them.
void reloadPlugins(HANDLE handle, CatalogueRecord* const* records, int count);
// Switches plugins off (unloading them first) or, when every one is off,
// on again, after one question; says when FAR loads a plugin switched on.
void switchPlugins(PanelState* panel, CatalogueRecord* const* records, int count);
// The help of the folder the plugin's DLL lies in.
void showPluginHelp(const CatalogueRecord* record);
// Runs the plugin's own Configure, loading and initialising the DLL for the
// command when the host has not loaded it.
void configurePlugin(const CatalogueRecord* record);
// The F3 box: the plugin's file, whether FAR has it loaded or cached, its
// entry points, and whether FAR 1.70 can use it, and if not why; its
// previous build, with buttons to go back to it or drop it.
void showPluginInfo(PanelState* panel, const CatalogueRecord* record);
// The previous build an update kept of the plugin's folder: the folder, the
// build's folder and its DLL of the same name (MAX_PATH each); false when
// there is none.
bool previousBuildOf(const CatalogueRecord* record, char* folder, char* previous, char* previousDll);
// F3's lines for it: its version, and the space all previous builds take
// ("" when there is none).
void describePreviousBuild(const CatalogueRecord* record, char* line, size_t cap, char* space, size_t spaceCap);
// Asks, then swaps the previous build back in (a loaded plugin is let go of
// first and FAR loads the old build at its next use); the build it replaces
// becomes the previous one.
void goBackToPreviousBuild(PanelState* panel, const CatalogueRecord* record);
// Sends the previous build to the Recycle Bin.
void dropPreviousBuild(const CatalogueRecord* record);
// F4 on a DLL that cannot be loaded: why, as F3 tells it.
void showLoadFailure(const CatalogueRecord* record);
// Asks, then deletes the host's plugin cache from the registry.
void clearHostPluginCache();
