// FAR's table of plugin records in its own heap, found through Vantorel's
// own record: FAR gives each plugin the index of its record as ModuleNumber,
// and the table does not move while FAR runs. Only on FAR builds whose
// layout is pinned (recordLayout.h).
#pragma once
#include "farRecords/recordLayout.h"

#include <windows.h>

struct FarRecordTable {
    const FarRecordLayout* layout;
    uint8_t* base;      // record 0
    int count;
};

enum FarTableOutcome {
    FAR_TABLE_FOUND,
    FAR_TABLE_UNKNOWN_BUILD,   // this FAR's layout is not pinned
    FAR_TABLE_NOT_FOUND,       // Vantorel's own record was not found exactly once
};

FarTableOutcome findFarRecordTable(FarRecordTable* table);
// The one record of the table whose path is path (any case); nullptr when
// there is none or more than one.
uint8_t* farRecordOf(const FarRecordTable& table, const char* path);
// The addresses of FAR's entry points in a loaded module, in the record's
// order (0 for an entry point it lacks).
void entryAddresses(HMODULE module, uint32_t* addresses);
