// Whether a plugin the host has loaded can be updated now: unloaded, its
// folder staged and swapped, and loaded again. Until that is possible the
// installer refuses to touch a loaded plugin's files at all.
#pragma once
#include "catalogue/catalogueRecord.h"

bool updateInPlaceAvailable(const CatalogueRecord& record);
