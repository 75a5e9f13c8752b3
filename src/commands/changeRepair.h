// Repairing a change of a plugin's files that FAR's end interrupted (see
// folders/journalRepair.h): when Vantorel's list is first read, every journal
// beside the plugins folders is acted on, FAR lets go of what it loaded from
// a folder the repair moves, its records of what moved are made to agree
// with the disk, and one box says what was repaired or what to do.
#pragma once
#include <windows.h>

void repairInterruptedChanges(HANDLE panel);
// When an interrupted change is not repaired yet, says so (naming its
// journal) and answers true: no command changes plugin files until then.
bool refuseWhileJournalWaits();
