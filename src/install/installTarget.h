// Where a dropped unit goes: the installed plugin it updates, else a new
// folder under the plugins root, and what its content holds.
#pragma once
#include "install/installUnit.h"

// The installed plugin whose DLL has this file name, wherever it lies.
const CatalogueRecord* installedPluginOf(const PanelState* panel, const char* dllName);
// Counts a folder tree's bytes and DLLs (and those the host would keep as
// plugins), matches its plugin DLLs against the installed plugins, and notes
// a path too long to read.
void scanUnitContent(const PanelState* panel, InstallUnit& unit, const char* folder);
// Notes that a DLL of the unit (newDll, its new file) is the installed
// plugin installed (nullptr: none): the first is the one the unit updates.
void noteMatch(InstallUnit& unit, const CatalogueRecord* installed, const char* newDll);
// Where a unit goes: the installed plugin's folder it updates, else a folder
// of name under the plugins root; whether that is there, a file, loaded,
// and whether it may be updated from the panel the drop comes from.
void settleUnitTarget(HANDLE panel, InstallUnit& unit, const char* name);
// name ends with extension (".dll"), compared without case.
bool hasExtension(const char* name, const char* extension);
