// Whether a plugin the host has loaded can be updated now: unloaded, its
// folder staged and swapped, and loaded again. Until that is possible the
// installer refuses to touch a loaded plugin's files at all.
#pragma once
#include "state/catalogueRecord.h"

// The installer asks this for the installed plugin a drop would replace
// while the host has it loaded; with false the question offers only Cancel.
bool updateInPlaceAvailable(const CatalogueRecord& record);
