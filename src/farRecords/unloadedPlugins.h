// The plugins Vantorel unloaded in this FAR session, each with FAR's record
// of it, so that FAR can be let to load them again, and the list can say so.
#pragma once
#include <windows.h>
#include <stdint.h>

struct UnloadedPlugin {
    char path[MAX_PATH];
    uint8_t* record;     // FAR's record, as the unload left it; nullptr where FAR's table was not known
};

void rememberUnloaded(const char* path, uint8_t* record);
// nullptr when Vantorel has not unloaded the DLL of this path (any case).
const UnloadedPlugin* findUnloaded(const char* path);
void forgetUnloaded(const char* path);
