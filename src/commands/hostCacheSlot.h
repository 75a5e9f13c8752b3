// FAR's plugin cache in the registry: PluginsCache\Plugin<N> beside FAR's
// plugin settings, N counted from 0 without gaps (FAR stops reading at the
// first slot without a Name).
#pragma once
#include <stdint.h>

struct CacheSlot {
    int index;        // N
    bool preload;     // loaded at every start: such a slot holds nothing else
    uint32_t sysId;   // Exports\SysID
};

// The slot whose Name is path (any case); false when there is none.
bool findCacheSlot(const char* path, CacheSlot* slot);
