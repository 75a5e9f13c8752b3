// Updating a plugin FAR has loaded, in place and without a restart: its
// plugin DLLs are let go of (farRecords/folderRelease.h), the staged folder is
// swapped in whole, and FAR's records of them are put back so that FAR loads
// the new DLLs at their next use. Only on FAR builds whose plugin records
// Vantorel knows; elsewhere the installer leaves a loaded plugin alone.
#pragma once
#include "state/catalogueRecord.h"

// The installer asks this for the installed plugin a drop would replace
// while the host has it loaded; with false the question offers only Cancel.
bool updateInPlaceAvailable(const CatalogueRecord& record);
