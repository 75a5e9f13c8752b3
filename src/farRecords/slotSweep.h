// FAR's plugin cache as FAR's next start expects it after a plugin's files
// changed. At a start that writes any slot (a new or changed DLL, or any
// plugin that asks to be loaded at every start) FAR deletes the slots whose
// DLL is gone and moves the later ones down, after it gave every plugin its
// slot number: the plugins after such a slot then find none, or another's,
// and are missing from FAR's menus for that whole session. So a DLL that
// leaves its path takes its slot with it at once, and FAR's records follow.
#pragma once
#include "farRecords/recordTable.h"

// Removes every slot of a DLL under folder (a folder without its trailing
// backslash) whose file is gone, moving the later slots down and FAR's
// records in table with them. A slot whose DLL was switched off (it lies as
// "name.dll.off") is held aside first, for the plugin to be switched on
// again in this session. The number of slots removed.
int sweepCacheSlotsUnder(const char* folder, const FarRecordTable& table);

// Gives the held slots of the DLLs under folder that are back under their
// own name to FAR's cache, each as its last slot (the slots before it stay
// as they are), where FAR still has a record of the DLL, the cache has no
// slot of it and the file is the one the slot describes; every held slot of
// a DLL that is back is let go of. The number of slots given back.
int restoreHeldSlotsUnder(const char* folder, const FarRecordTable& table);
