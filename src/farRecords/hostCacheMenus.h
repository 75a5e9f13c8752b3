// What FAR's plugin cache says about the plugins it has started: at every
// start FAR writes, per plugin, the strings it asked GetPluginInfo for, in
// its language of the time, under an ID made from the DLL's size and times.
// A scan that finds a DLL FAR describes as it is on disk takes its menu
// strings from there instead of loading it.
#pragma once
#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// The ID FAR gives a DLL file in its cache: its size, creation time and
// write time (the low words of each) in lower-case hex without leading
// zeros, one after the other. out holds at least 25 characters.
void hostCacheId(char* out, size_t cap, const WIN32_FIND_DATAA& found);

// The first string of the first menu list a slot holds, in the order a
// description takes them (disk menu, plugins menu, configuration menu), cut
// to 127 characters as a probe's copy is; every other list counts 0.
struct HostCacheMenus {
    int counts[3];
    char texts[3][128];
};

// Every slot of FAR's cache, read once: its Name, ID, Preload and menus.
class HostCacheIndex {
public:
    HostCacheIndex() {}
    ~HostCacheIndex();
    HostCacheIndex(const HostCacheIndex&) = delete;
    HostCacheIndex& operator=(const HostCacheIndex&) = delete;

    // Reads the slots under the cache key FAR's RootKey names; false when
    // there is no cache.
    bool read();
    // The slot FAR would give the DLL at its start (the first whose Name is
    // the path, in any case, and whose ID is the file's), or -1. *preload
    // tells whether that slot is one of a plugin FAR loads at every start,
    // which keeps nothing else.
    int find(const char* path, const WIN32_FIND_DATAA& found, bool* preload) const;
    // The menus of a slot find gave; false when they could not be read whole,
    // and for a Preload slot, which keeps none.
    bool menus(int slot, HostCacheMenus* out) const;

private:
    struct Slot;
    Slot* slots_ = nullptr;
    int count_ = 0;
    int* table_ = nullptr;   // slot number + 1 by the hash of its Name, 0 for none
    uint32_t mask_ = 0;
};
