// One plugin DLL in the catalogue. The same 775 bytes are the record format of
// the cache file, so the layout is fixed.
#pragma once
#include "far/farPlugin.h"

#pragma pack(push, 1)
struct CatalogueRecord {
    PluginPanelItem item;     // the panel item as handed to the host
    char dllPath[MAX_PATH];   // full path of the DLL
    char description[128];    // empty when none was found
    char version[16];         // 16 characters fill it unterminated; `missing` ends it
    char missing;             // 1 when the DLL was gone when the record was built
    HMODULE module;           // the host's module handle at build time, else 0
};
#pragma pack(pop)

static_assert(sizeof(CatalogueRecord) == 775, "catalogue record");
static_assert(offsetof(CatalogueRecord, dllPath) == 366, "catalogue record");
static_assert(offsetof(CatalogueRecord, description) == 626, "catalogue record");
static_assert(offsetof(CatalogueRecord, version) == 754, "catalogue record");
static_assert(offsetof(CatalogueRecord, missing) == 770, "catalogue record");
static_assert(offsetof(CatalogueRecord, module) == 771, "catalogue record");
