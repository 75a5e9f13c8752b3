#include "foreign/loadedModules.h"

#include "state/pluginFolder.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <psapi.h>
#include <string.h>

namespace {

void upperName(const char* name, char* out) {
    size_t n = copyText(out, MAX_PATH, name);
    CharUpperBuffA(out, static_cast<DWORD>(n));
}

}  // namespace

LoadedModules::LoadedModules() : modules(nullptr), names(nullptr), count(0), stale(false), whole(false) {
    take();
}

LoadedModules::~LoadedModules() {
    release();
}

void LoadedModules::release() {
    heapFree(modules);
    heapFree(names);
    modules = nullptr;
    names = nullptr;
    count = 0;
    whole = false;
}

void LoadedModules::take() {
    DWORD needed = 0;
    HMODULE probe[1];
    if (!EnumProcessModules(GetCurrentProcess(), probe, sizeof probe, &needed) || !needed) return;
    // Room for modules loaded between the two calls.
    int capacity = static_cast<int>(needed / sizeof(HMODULE)) + 16;
    modules = heapArray<HMODULE>(capacity);
    names = heapArray<char>(static_cast<size_t>(capacity) * MAX_PATH);
    if (!modules || !names ||
        !EnumProcessModules(GetCurrentProcess(), modules, capacity * sizeof(HMODULE), &needed))
        return;
    int listed = static_cast<int>(needed / sizeof(HMODULE));
    whole = listed <= capacity;
    if (listed > capacity) listed = capacity;
    for (int i = 0; i < listed; ++i) {
        char path[MAX_PATH];
        if (!GetModuleFileNameA(modules[i], path, sizeof path)) {
            whole = false;
            continue;
        }
        path[MAX_PATH - 1] = 0;
        modules[count] = modules[i];
        upperName(fileNameOf(path), names + static_cast<size_t>(count) * MAX_PATH);
        ++count;
    }
}

HMODULE LoadedModules::find(const char* fileName) {
    if (stale) {
        release();
        take();
        stale = false;
    }
    char wanted[MAX_PATH];
    upperName(fileName, wanted);
    for (int i = 0; i < count; ++i)
        if (!strcmp(names + static_cast<size_t>(i) * MAX_PATH, wanted)) return modules[i];
    return nullptr;
}

bool moduleLoadedUnder(const char* folder, char* found, size_t cap) {
    size_t n = strlen(folder);
    if (!n) return false;
    HMODULE small[256];
    DWORD needed = 0;
    HANDLE process = GetCurrentProcess();
    if (!EnumProcessModules(process, small, sizeof small, &needed)) return false;
    HMODULE* all = small;
    if (needed > sizeof small) {
        all = heapArray<HMODULE>(needed / sizeof(HMODULE));
        if (!all || !EnumProcessModules(process, all, needed, &needed)) {
            heapFree(all);
            return false;
        }
    }
    bool hit = false;
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && !hit; ++i) {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(all[i], path, sizeof path);
        if (!length || length >= sizeof path) continue;
        if (length > n + 1 && path[n] == '\\' && startsWithNoCase(path, folder)) {
            copyText(found, cap, path);
            hit = true;
        }
    }
    if (all != small) heapFree(all);
    return hit;
}
