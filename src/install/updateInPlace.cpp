#include "install/updateInPlace.h"

#include "farRecords/recordTable.h"
#include "foreign/probe.h"
#include "state/pluginState.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

bool updateInPlaceAvailable(const CatalogueRecord& record) {
    // Vantorel does not replace its own code under itself.
    return farRecordLayout(hostFarVersion()) != nullptr &&
           heldModule(record.dllPath) != reinterpret_cast<HMODULE>(&__ImageBase);
}
