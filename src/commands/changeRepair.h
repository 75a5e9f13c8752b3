// Repairing a change of a plugin's files that FAR's end interrupted (see
// folders/moveJournal.h): when Vantorel opens, every journal beside the
// plugins folders is acted on, FAR's records of what moved are made to agree
// with the disk, and one box says what was repaired.
#pragma once

void repairInterruptedChanges();
