#include "cache/cacheFile.h"
#include "state/pluginState.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>
#include <string>

using namespace testing_support;

namespace {

class CacheFile : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(savedPath, cacheFilePath, sizeof savedPath);
        copyPath(dir / "JCache.dat");
    }
    void TearDown() override { memcpy(cacheFilePath, savedPath, sizeof savedPath); }
    void copyPath(const std::string& p) { strcpy(cacheFilePath, p.c_str()); }
    TempDir dir{"cache"};
    char savedPath[MAX_PATH];
};

CatalogueRecord recordFor(const char* path) {
    CatalogueRecord r;
    memset(&r, 0, sizeof r);
    strcpy(r.dllPath, path);
    return r;
}

}  // namespace

TEST_F(CacheFile, OnlyWholeRecordsAreRead) {
    for (size_t size : {774u, 776u, 0u}) {
        writeFile(dir / "JCache.dat", std::string(size, '\0'));
        CachedRecords cache = readCache();
        EXPECT_EQ(0, cache.count) << size;
        releaseCache(&cache);
    }
    writeFile(dir / "JCache.dat", std::string(775 * 2, '\0'));
    CachedRecords cache = readCache();
    EXPECT_EQ(2, cache.count);
    releaseCache(&cache);
}

TEST_F(CacheFile, WritesRecordsThatReadBackAndMatchWithoutCase) {
    CatalogueRecord records[3] = {recordFor("C:\\Far\\Plugins\\A\\a.dll"), recordFor("C:\\Far\\Plugins\\B\\b.dll"),
                                  recordFor("C:\\FAR\\PLUGINS\\A\\A.DLL")};
    strcpy(records[0].description, "first");
    strcpy(records[2].description, "second");
    writeCache(records, 3);
    EXPECT_EQ(775u * 3, readFile(dir / "JCache.dat").size());
    CachedRecords cache = readCache();
    ASSERT_EQ(3, cache.count);
    const CatalogueRecord* hit = findCachedRecord("c:\\far\\plugins\\a\\A.dll", &cache);
    ASSERT_NE(nullptr, hit);
    EXPECT_STREQ("first", hit->description);   // the first of two equal paths
    EXPECT_EQ(nullptr, findCachedRecord("C:\\Far\\Plugins\\C\\a.dll", &cache));
    releaseCache(&cache);
}

TEST_F(CacheFile, RandomBytesGiveRecordsWhoseTextsStayInsideTheirFields) {
    std::mt19937 rng(7);
    std::string bytes(775 * 4, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 255 + 1);   // no terminators anywhere
    bytes[775 + 754] = '1';   // a 16-character version beside a non-zero missing byte
    writeFile(dir / "JCache.dat", bytes);
    CachedRecords cache = readCache();
    ASSERT_EQ(4, cache.count);
    for (int i = 0; i < cache.count; ++i) {
        const CatalogueRecord& r = cache.records[i];
        EXPECT_LT(strlen(r.dllPath), sizeof r.dllPath);
        EXPECT_LT(strlen(r.description), sizeof r.description);
        EXPECT_LT(strlen(r.item.FindData.cFileName), sizeof r.item.FindData.cFileName);
        EXPECT_LE(strlen(r.version), sizeof r.version);   // ended at the latest by the missing byte
    }
    releaseCache(&cache);
}

TEST_F(CacheFile, NoPathMeansNoFile) {
    cacheFilePath[0] = 0;
    CatalogueRecord r = recordFor("C:\\x.dll");
    writeCache(&r, 1);
    CachedRecords cache = readCache();
    EXPECT_EQ(0, cache.count);
}

TEST_F(CacheFile, LookupInALargeCacheFindsTheFirstRecordOfEachPath) {
    std::vector<CatalogueRecord> records;
    for (int i = 0; i < 300; ++i) {
        std::string p = "C:\\Far\\Plugins\\P" + std::to_string(i) + "\\p.dll";
        records.push_back(recordFor(p.c_str()));
        records.back().item.NumberOfLinks = i;
    }
    records.push_back(recordFor("c:\\far\\plugins\\p7\\P.DLL"));   // a later duplicate of record 7
    records.back().item.NumberOfLinks = 999;
    writeCache(records.data(), static_cast<int>(records.size()));
    CachedRecords cache = readCache();
    ASSERT_EQ(301, cache.count);
    for (int i = 0; i < 300; ++i) {
        std::string p = "C:\\FAR\\plugins\\p" + std::to_string(i) + "\\P.dll";
        const CatalogueRecord* hit = findCachedRecord(p.c_str(), &cache);
        ASSERT_NE(nullptr, hit) << p;
        EXPECT_EQ(static_cast<DWORD>(i), hit->item.NumberOfLinks) << p;
    }
    EXPECT_EQ(nullptr, findCachedRecord("C:\\Far\\Plugins\\P300\\p.dll", &cache));
    releaseCache(&cache);
}
