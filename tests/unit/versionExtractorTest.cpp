#include "describe/versionExtractor.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

using testing_support::TempDir;
using testing_support::makeDirs;
using testing_support::writeFile;

namespace {

// A record whose DLL has no version resource (the file does not even exist),
// so only file_id.diz can speak.
struct Examined {
    CatalogueRecord record;
    Examined(const std::string& dllPath) {
        memset(&record, 0, sizeof record);
        strncpy(record.dllPath, dllPath.c_str(), sizeof record.dllPath - 1);
    }
    PluginPanelItem& item() { return record.item; }
    std::string version() const { return std::string(record.version, strnlen(record.version, 16)); }
};

char* const STALE_OWNER = reinterpret_cast<char*>(0x1234);

TEST(ExtractVersion, FirstMatchingLineOfTheDescriptionFileGivesTheVersion) {
    TempDir dir("ver");
    writeFile(dir / "file_id.diz", "Universal viewer 2\r\nPainter Version 4.0 (beta)\r\nOther v 9.9\r\n");
    Examined e(dir / "painter.dll");
    e.item().Owner = STALE_OWNER;
    extractVersion(&e.record, &e.item());
    EXPECT_EQ(e.item().Owner, e.record.version);
    EXPECT_EQ(e.version(), "4.0");
    for (size_t i = 3; i < 16; ++i) EXPECT_EQ(e.record.version[i], 0) << i;
}

TEST(ExtractVersion, NoVersionLeavesOwnerNoneAndTheFieldAsItWas) {
    TempDir dir("ver");
    Examined missingFile(dir / "x.dll");
    strcpy(missingFile.record.version, "old");
    missingFile.item().Owner = STALE_OWNER;
    extractVersion(&missingFile.record, &missingFile.item());
    EXPECT_EQ(missingFile.item().Owner, nullptr);
    EXPECT_EQ(missingFile.version(), "old");

    writeFile(dir / "file_id.diz", "Universal viewer 2\nversion1.0\nVersion: 1.5\n");
    Examined noMatch(dir / "x.dll");
    noMatch.item().Owner = STALE_OWNER;
    extractVersion(&noMatch.record, &noMatch.item());
    EXPECT_EQ(noMatch.item().Owner, nullptr);
    EXPECT_EQ(noMatch.version(), "");
}

TEST(ExtractVersion, DllInABinFolderReadsTheParentsDescriptionFile) {
    TempDir dir("ver");
    makeDirs(dir / "Hex\\bin");
    writeFile(dir / "Hex\\file_id.diz", "Hex v 2.5\n");
    writeFile(dir / "Hex\\bin\\file_id.diz", "Hex v 7.7\n");
    Examined e(dir / "Hex\\bin\\hex.dll");
    extractVersion(&e.record, &e.item());
    EXPECT_EQ(e.version(), "2.5");
}

TEST(ExtractVersion, SixteenCharacterVersionIsEndedByTheMissingByte) {
    TempDir dir("ver");
    writeFile(dir / "file_id.diz", "Tool v 1.2.3.4.5.6.7.8.9.10\n");
    Examined e(dir / "tool.dll");
    e.record.missing = 0;
    extractVersion(&e.record, &e.item());
    ASSERT_EQ(e.item().Owner, e.record.version);
    EXPECT_STREQ(e.item().Owner, "1.2.3.4.5.6.7.8.");
}

TEST(ExtractVersion, GarbageInTheDescriptionFileIsReadSafely) {
    TempDir dir("ver");
    std::string bytes(std::string("\0\0v\0\r\r\r", 7) + std::string(600, '\xB3') + "\rzz v 3.3\xBA\n");
    writeFile(dir / "file_id.diz", bytes);
    Examined e(dir / "junk.dll");
    extractVersion(&e.record, &e.item());
    EXPECT_EQ(e.version(), "3.3");

    writeFile(dir / "file_id.diz", std::string("\x1A v 1.0\n"));  // text mode ends the file at 0x1A
    Examined ended(dir / "junk.dll");
    extractVersion(&ended.record, &ended.item());
    EXPECT_EQ(ended.item().Owner, nullptr);
}

TEST(ExtractVersion, VersionResourceComesBeforeTheDescriptionFile) {
    char system[MAX_PATH];
    ASSERT_NE(GetSystemDirectoryA(system, sizeof system), 0u);
    Examined e(std::string(system) + "\\kernel32.dll");
    extractVersion(&e.record, &e.item());
    ASSERT_EQ(e.item().Owner, e.record.version);
    EXPECT_GE(e.record.version[0], '0');
    EXPECT_LE(e.record.version[0], '9');
}

TEST(ApplyCachedVersion, StoredOwnerAndNonEmptyVersionShowTheVersion) {
    struct Case {
        char* storedOwner;
        const char* version;
        bool shown;
    } cases[] = {
        {STALE_OWNER, "1.0", true},
        {nullptr, "1.0", false},
        {STALE_OWNER, "", false},
        {nullptr, "", false},
        {STALE_OWNER, "1234567890123456", true},
    };
    for (const Case& c : cases) {
        CatalogueRecord record;
        memset(&record, 0, sizeof record);
        memcpy(record.version, c.version, strlen(c.version));  // 16 characters: no terminator
        record.item.Owner = c.storedOwner;
        applyCachedVersion(&record, &record.item);
        EXPECT_EQ(record.item.Owner, c.shown ? record.version : nullptr) << c.version;
    }
}

} // namespace
