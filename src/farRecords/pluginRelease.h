// The two ways every command changes what FAR has of a plugin: letting go
// of a plugin FAR has loaded (here), and letting FAR load one again from the
// disk (rearmFromDisk, recordSync.h).
#pragma once
#include <windows.h>

// Why the module may not be unloaded now: a message id, or 0. Vantorel's own
// module, and any module while a foreign plugin panel is open in the other
// half, are refused.
int unloadRefusal(HANDLE handle, HMODULE module);
// Clears the host's record of the module and releases it (ExitFAR first);
// false, with nothing written or released, when the record is not found
// for certain.
bool releaseFromHost(HMODULE* module, const char* path);
// Releases a record's module and clears the handle; a failed or faulting
// release is reported and the handle kept.
void freePluginModule(HMODULE* module);
