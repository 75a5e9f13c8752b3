// Taking a plugin out of the host before its module is released. The host
// keeps the addresses of a loaded plugin's exports and calls through them,
// testing each for null, until it ends; a module released behind its back is
// called at the next menu, event or quit and takes the host down. Clearing the
// host's record of the plugin (the module handle and the export addresses)
// is what the host itself does when it drops a faulting plugin: from then on
// it calls nothing of it until it is restarted.
#pragma once
#include <windows.h>

enum HostRecordOutcome {
    HOST_RECORD_CLEARED,     // exactly one record found, and cleared
    HOST_RECORD_NOT_FOUND,   // none: nothing written
    HOST_RECORD_AMBIGUOUS,   // more than one candidate: nothing written
};

// Finds the host's record of module in the process's private read-write
// memory (never the calling thread's stack) and, when there is exactly one,
// clears the handle and every address into the module's image in the 2 KB
// after it. Anything else writes nothing.
HostRecordOutcome detachFromHost(HMODULE module);

// Memory the host could keep its records in: committed, private, plainly
// read-write.
bool hostMemorySearchable(const MEMORY_BASIC_INFORMATION& info);
