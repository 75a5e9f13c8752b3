// The cache file's records as the plugin takes them over: whatever bytes a
// damaged file holds, a sanitised record's texts end inside their fields and
// no item field the host would follow is set; and the path index finds the
// same record as a scan from the first record would.
#include "fuzzTarget.h"

#include "cache/cacheFile.h"
#include "runtime/heap.h"

#include <string.h>
#include <windows.h>

namespace {

const char NAME[] = "cache";

const CatalogueRecord* scanFor(const char* path, const CachedRecords& cache) {
    for (int i = 0; i < cache.count; ++i)
        if (lstrcmpiA(cache.records[i].dllPath, path) == 0) return &cache.records[i];
    return nullptr;
}

void checkLookup(const char* path, const CachedRecords& cache) {
    FUZZ_EXPECT(NAME, findCachedRecord(path, &cache) == scanFor(path, cache));
}

// The same path with its letters' case swapped.
std::string swappedCase(const char* path) {
    std::string s(path);
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return s;
}

}  // namespace

FUZZ_TARGET(fuzzCache) {
    // Few records, so that equal paths and shared buckets are likely: the
    // first bytes say how to reuse paths among them.
    FuzzInput in(data, size);
    uint8_t copies = in.byte();
    std::string query = cText(in.part());
    std::string bytes = in.rest();
    int count = static_cast<int>(bytes.size() / sizeof(CatalogueRecord));
    if (count == 0) return 0;

    CachedRecords cache = {heapArray<CatalogueRecord>(count), count, nullptr, nullptr, 0};
    memcpy(cache.records, bytes.data(), count * sizeof(CatalogueRecord));
    for (int i = 0; i < count; ++i) {
        CatalogueRecord& r = cache.records[i];
        sanitizeCachedRecord(&r);
        FUZZ_EXPECT(NAME, memchr(r.dllPath, 0, sizeof r.dllPath) != nullptr);
        FUZZ_EXPECT(NAME, memchr(r.description, 0, sizeof r.description) != nullptr);
        FUZZ_EXPECT(NAME, memchr(r.item.FindData.cFileName, 0, sizeof r.item.FindData.cFileName) != nullptr);
        FUZZ_EXPECT(NAME, memchr(r.item.FindData.cAlternateFileName, 0, sizeof r.item.FindData.cAlternateFileName) != nullptr);
        // The version ends inside its field or at the missing byte.
        FUZZ_EXPECT(NAME, memchr(r.version, 0, sizeof r.version) != nullptr || r.missing == 0);
        FUZZ_EXPECT(NAME, r.item.CustomColumnData == nullptr && r.item.CustomColumnNumber == 0);
        FUZZ_EXPECT(NAME, r.item.Flags == 0 && r.item.UserData == 0 && r.item.CRC32 == 0 && r.item.PackSizeHigh == 0);
        // Reserved[0] keeps the language a description was asked in; the host never reads it.
        FUZZ_EXPECT(NAME, r.item.Reserved[1] == 0);
        // Paths shared between records, in another letter case too.
        if (i > 0 && (copies >> (i % 8)) & 1) {
            std::string earlier = swappedCase(cache.records[(i * 7) % i].dllPath);
            memcpy(r.dllPath, earlier.c_str(), earlier.size() + 1);
        }
    }
    indexCachedRecords(&cache);
    for (int i = 0; i < count; ++i) {
        checkLookup(cache.records[i].dllPath, cache);
        checkLookup(swappedCase(cache.records[i].dllPath).c_str(), cache);
    }
    checkLookup(query.c_str(), cache);
    releaseCache(&cache);
    FUZZ_EXPECT(NAME, cache.records == nullptr && cache.count == 0);
    return 0;
}
