#include "install/updateInPlace.h"

bool updateInPlaceAvailable(const CatalogueRecord&) { return false; }
