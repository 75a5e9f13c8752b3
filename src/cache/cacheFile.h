// The cache file beside the plugin: the whole catalogue of the last build as
// raw records, so unchanged plugins are not examined again.
#pragma once
#include "state/catalogueRecord.h"

struct CachedRecords {
    CatalogueRecord* records;
    int count;
    // Hash index over the paths without regard to case: bucket heads and a
    // next link per record, each chain in record order so that the first
    // match stays the first record with that path.
    int* buckets;
    int* chain;
    unsigned bucketMask;
};

// Reads the cache file; no records when it is missing or its size is not a
// whole number of records.
CachedRecords readCache();
void releaseCache(CachedRecords* cache);
// Builds the index over cache->records; without memory for it the lookup
// scans the records one by one.
void indexCachedRecords(CachedRecords* cache);
// First record whose dllPath equals path without regard to case.
const CatalogueRecord* findCachedRecord(const char* path, const CachedRecords* cache);
void writeCache(const CatalogueRecord* catalogue, int count);
// Makes a cached record safe to take over: its texts terminated inside their
// fields, so that nothing later reads past them, and no item field set that
// the host would follow.
void sanitizeCachedRecord(CatalogueRecord* record);
