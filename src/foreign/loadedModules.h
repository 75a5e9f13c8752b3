// The modules loaded in the process, looked up by file name. Asking the
// loader by name costs a file-system search per call; one snapshot answers a
// thousand plugins at the price of one. It holds only until foreign code runs
// (a plugin may load itself or a sibling): after that the next lookup takes a
// new one.
#pragma once
#include <windows.h>

class LoadedModules {
public:
    LoadedModules();      // takes the snapshot
    ~LoadedModules();
    // Foreign code has run since the snapshot: take a new one when next asked.
    void invalidate() { stale = true; }
    LoadedModules(const LoadedModules&) = delete;
    LoadedModules& operator=(const LoadedModules&) = delete;
    // The loaded module whose file name equals fileName without regard to
    // case, or nullptr.
    HMODULE find(const char* fileName);
    // Whether the last snapshot lists every module of the process, so that a
    // miss in find means no module of that file name is loaded.
    bool complete() const { return whole; }
private:
    void take();
    void release();
    HMODULE* modules;
    char* names;          // count upper-cased file names of MAX_PATH bytes each
    int count;
    bool stale;
    bool whole;
};

// A module of the process loaded from a file under folder (without its
// trailing backslash): true with its path in found (cap bytes), else false.
// What a plugin loaded for itself and did not let go of, or a plugin that
// keeps itself loaded, is found so.
bool moduleLoadedUnder(const char* folder, char* found, size_t cap);
