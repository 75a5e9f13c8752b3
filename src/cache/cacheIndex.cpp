#include "cache/cacheFile.h"

#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

void sanitizeCachedRecord(CatalogueRecord* r) {
    // A list item never carries these; from a damaged file they would send the
    // host after custom columns or user data that do not exist.
    PluginPanelItem& item = r->item;
    item.PackSizeHigh = 0;
    item.Flags = 0;
    item.CustomColumnData = nullptr;
    item.CustomColumnNumber = 0;
    item.UserData = 0;
    item.CRC32 = 0;
    // Reserved[0] keeps the language a description was written in (see
    // descriptionLanguage.h); the host never reads it.
    item.Reserved[1] = 0;
    r->dllPath[MAX_PATH - 1] = 0;
    r->description[sizeof r->description - 1] = 0;
    r->item.FindData.cFileName[MAX_PATH - 1] = 0;
    r->item.FindData.cAlternateFileName[sizeof r->item.FindData.cAlternateFileName - 1] = 0;
    // A full 16-character version is ended by the missing byte, which is 0
    // whenever a version is present; a garbage record may break that.
    if (memchr(r->version, 0, sizeof r->version) == nullptr) r->missing = 0;
}

namespace {

unsigned pathHash(const char* path) {
    char upper[MAX_PATH];
    size_t n = copyText(upper, sizeof upper, path);
    CharUpperBuffA(upper, static_cast<DWORD>(n));
    unsigned h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(upper[i])) * 16777619u;
    return h;
}

}  // namespace

void indexCachedRecords(CachedRecords* cache) {
    unsigned size = 16;
    while (size < static_cast<unsigned>(cache->count) * 2) size <<= 1;
    cache->buckets = heapArray<int>(size);
    cache->chain = heapArray<int>(cache->count);
    if (!cache->buckets || !cache->chain) {
        heapFree(cache->buckets);
        heapFree(cache->chain);
        cache->buckets = cache->chain = nullptr;
        return;
    }
    cache->bucketMask = size - 1;
    for (unsigned b = 0; b < size; ++b) cache->buckets[b] = -1;
    // Walk backwards and push on the front, so each chain runs in record order.
    for (int i = cache->count - 1; i >= 0; --i) {
        unsigned b = pathHash(cache->records[i].dllPath) & cache->bucketMask;
        cache->chain[i] = cache->buckets[b];
        cache->buckets[b] = i;
    }
}

void releaseCache(CachedRecords* cache) {
    heapFree(cache->records);
    heapFree(cache->buckets);
    heapFree(cache->chain);
    cache->records = nullptr;
    cache->buckets = cache->chain = nullptr;
    cache->count = 0;
}

const CatalogueRecord* findCachedRecord(const char* path, const CachedRecords* cache) {
    if (cache->buckets) {
        for (int i = cache->buckets[pathHash(path) & cache->bucketMask]; i >= 0; i = cache->chain[i])
            if (lstrcmpiA(cache->records[i].dllPath, path) == 0) return &cache->records[i];
        return nullptr;
    }
    for (int i = 0; i < cache->count; ++i)
        if (lstrcmpiA(cache->records[i].dllPath, path) == 0) return &cache->records[i];
    return nullptr;
}

