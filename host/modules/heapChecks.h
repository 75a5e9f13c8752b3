// A block a plugin frees twice goes unnoticed under Wine (the heap refuses
// the second free and says nothing), while the real system stops the process
// with a heap corruption. The host reroutes a plugin's frees (msvcrt's free,
// kernel32's HeapFree) through a check that raises that same exception
// (kHeapCorruption) inside the plugin's call, where the call guard reports it.
#pragma once

#include <windows.h>

namespace farhost {

// Reroutes the module's imported frees through the check; true when any was found.
bool checkFreesOf(HMODULE module);

}  // namespace farhost
