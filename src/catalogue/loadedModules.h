// The modules loaded in the process, looked up by file name. Asking the
// loader by name costs a file-system search per call; one snapshot per build
// answers a thousand plugins at the price of one.
#pragma once
#include <windows.h>

class LoadedModules {
public:
    LoadedModules();      // takes the snapshot
    ~LoadedModules();
    LoadedModules(const LoadedModules&) = delete;
    LoadedModules& operator=(const LoadedModules&) = delete;
    // The loaded module whose file name equals fileName without regard to
    // case, or nullptr.
    HMODULE find(const char* fileName) const;
private:
    HMODULE* modules;
    char* names;          // count upper-cased file names of MAX_PATH bytes each
    int count;
};
