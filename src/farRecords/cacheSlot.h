// FAR's plugin cache in the registry: PluginsCache\Plugin<N> beside FAR's
// plugin settings, N counted from 0 without gaps (FAR stops reading at the
// first slot without a Name).
#pragma once
#include "farRecords/recordTable.h"

#include <stdint.h>

struct CacheSlot {
    int index;        // N
    bool preload;     // loaded at every start: such a slot holds nothing else
    uint32_t sysId;   // Exports\SysID
};

// FAR's plugin cache key under HKEY_CURRENT_USER: beside the plugins' root
// FAR hands out ("Software\Far\PluginsCache", or the same under a user's
// own root when FAR runs with /u). false when the root does not end in
// "\Plugins".
#include <stddef.h>
bool hostCacheKeyName(char* out, size_t cap);

// The slot whose Name is path (any case); false when there is none.
bool findCacheSlot(const char* path, CacheSlot* slot);

// Removes the slot of path, moving the later slots down one as FAR does, and
// gives FAR's records in table (nullptr: none) their new slot numbers.
bool removeCacheSlot(const char* path, const FarRecordTable* table);

// The Name of slot n of the open cache key (false: no such slot, which ends
// the cache for FAR).
bool cacheSlotPath(HKEY cache, int n, char* path, DWORD cap);
// Copies a slot's key (its values and its Exports) to another key, which is
// made afresh.
bool copySlotKey(HKEY fromParent, const char* from, HKEY toParent, const char* to);

// Deletes a registry key with everything below it; 1 when all of it is gone.
int deleteKeyTree(HKEY parent, const char* name);
