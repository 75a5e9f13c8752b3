#include "cache/cacheFile.h"

#include "state/pluginState.h"
#include "runtime/handles.h"
#include "runtime/heap.h"

#include <stdio.h>
#include <string.h>

CachedRecords readCache() {
    CachedRecords cache = {nullptr, 0, nullptr, nullptr, 0};
    if (!cacheFilePath[0]) return cache;
    FileHandle file(cacheFilePath, "rb");
    FILE* f = file.get();
    if (!f) return cache;
    if (fseek(f, 0, SEEK_END) != 0) return cache;
    long size = ftell(f);
    if (size <= 0 || size % sizeof(CatalogueRecord) != 0) return cache;
    fseek(f, 0, SEEK_SET);
    int n = static_cast<int>(size / sizeof(CatalogueRecord));
    cache.records = heapArray<CatalogueRecord>(n);
    if (!cache.records) return cache;
    cache.count = n;
    fread(cache.records, sizeof(CatalogueRecord), n, f);
    for (int i = 0; i < n; ++i) sanitizeCachedRecord(&cache.records[i]);
    indexCachedRecords(&cache);
    return cache;
}

void writeCache(const CatalogueRecord* catalogue, int count) {
    if (!cacheFilePath[0]) return;
    FileHandle file(cacheFilePath, "wb");
    if (file.get() && count > 0) fwrite(catalogue, sizeof(CatalogueRecord), count, file.get());
}
