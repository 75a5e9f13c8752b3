#include "commands/updateInPlace.h"

bool updateInPlaceAvailable(const CatalogueRecord&) { return false; }
