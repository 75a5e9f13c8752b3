#include "describe/versionText.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

namespace {

// The version a line of file_id.diz yields, or "<none>".
std::string versionIn(const std::string& line) {
    char lowered[260];
    strncpy(lowered, line.c_str(), sizeof lowered - 1);
    lowered[sizeof lowered - 1] = 0;
    lowerLetters(lowered);
    size_t length = 99;
    const char* found = findVersion(lowered, &length);
    if (!found) return "<none>";
    EXPECT_LE(length, VERSION_CHARS);
    return std::string(found, length);
}

TEST(FindVersion, WorkedResults) {
    struct Case {
        const char* line;
        const char* version;
    } cases[] = {
        {"Painter Version 4.0 (beta)", "4.0"},
        {"Temporary panel v 2.1: FAR 1.70", "2.1"},
        {"Hex viewer ver. 1.02b, freeware", "1.02b,"},
        {"NETWORK BROWSER V1.0A", "1.0a"},
        {"Version: 1.5", "<none>"},
        {"Universal viewer 2", "<none>"},
        {"Name server 1.0 for FAR", "1.0"},
        {"version1.0", "<none>"},
    };
    for (const Case& c : cases) EXPECT_EQ(versionIn(c.line), c.version) << c.line;
}

TEST(FindVersion, NumberEndsAtTheEndSet) {
    struct Case {
        const char* line;
        const char* version;
    } cases[] = {
        {"v.3.1\xBA", "3.1"},
        {"v.3.1\xB3rest", "3.1"},
        {"v 3.1\tx", "3.1"},
        {"v 3.1:x", "3.1"},
        {"v 3.1(x", "3.1"},
        {"v 3.1)x", "3.1"},
        {"v 3.1\r\n", "3.1"},
        {"v 3.1-beta,2", "3.1-beta,2"},
        {"v 3.1", "3.1"},
    };
    for (const Case& c : cases) EXPECT_EQ(versionIn(c.line), c.version) << c.line;
}

TEST(FindVersion, SkipsFullStopsAndBlanksBeforeTheNumber) {
    EXPECT_EQ(versionIn("ver\t. 2.0"), "2.0");
    EXPECT_EQ(versionIn("v. .7"), "7");
    EXPECT_EQ(versionIn("version   12"), "12");
}

TEST(FindVersion, GoesOnToTheNextVAfterAFalseStart) {
    EXPECT_EQ(versionIn("very good v2"), "2");
    EXPECT_EQ(versionIn("v.x then v 5"), "5");
    EXPECT_EQ(versionIn("vv3"), "3");
    EXPECT_EQ(versionIn("ver.version 4"), "4");
}

TEST(FindVersion, KeepsAtMost16Characters) {
    EXPECT_EQ(versionIn("v 12345678901234567890"), "1234567890123456");
    EXPECT_EQ(versionIn("v 1234567890123456"), "1234567890123456");
}

TEST(FindVersion, LineWithoutVersionGivesNone) {
    EXPECT_EQ(versionIn(""), "<none>");
    EXPECT_EQ(versionIn("v"), "<none>");
    EXPECT_EQ(versionIn("v. "), "<none>");
    EXPECT_EQ(versionIn("1.0 for FAR"), "<none>");
}

TEST(StoreVersion, PadsShortTextsWithZeros) {
    char field[17];
    memset(field, 'Z', sizeof field);
    storeVersion(field, "1.0", 3);
    EXPECT_STREQ(field, "1.0");
    for (int i = 3; i < 16; ++i) EXPECT_EQ(field[i], 0) << i;
    EXPECT_EQ(field[16], 'Z');
}

TEST(StoreVersion, SixteenCharactersFillTheFieldWithoutTerminator) {
    char field[17];
    memset(field, 'Z', sizeof field);
    storeVersion(field, "12345678901234567890", 20);
    EXPECT_EQ(std::string(field, 16), "1234567890123456");
    EXPECT_EQ(field[16], 'Z');
}

TEST(StoreVersion, StopsAtTheTextsTerminator) {
    char field[17];
    memset(field, 'Z', sizeof field);
    storeVersion(field, "1.0", 16);
    EXPECT_STREQ(field, "1.0");
    EXPECT_EQ(field[16], 'Z');
}

TEST(VersionFolderOf, BinFolderGivesWayToItsParent) {
    struct Case {
        const char* dllPath;
        const char* folder;
    } cases[] = {
        {"C:\\Far\\Plugins\\Hex\\bin\\hex.dll", "C:\\Far\\Plugins\\Hex\\"},
        {"C:\\Far\\Plugins\\Hex\\BIN\\hex.dll", "C:\\Far\\Plugins\\Hex\\"},
        {"C:\\Far\\Plugins\\Hex\\hex.dll", "C:\\Far\\Plugins\\Hex\\"},
        {"C:\\bin\\x.dll", "C:\\bin\\"},
        {"D:\\ab\\bin\\x.dll", "D:\\ab\\bin\\"},  // ten characters: stays
        {"D:\\abc\\bin\\x.dll", "D:\\abc\\"},     // eleven characters
        {"C:\\Far\\cabin\\x.dll", "C:\\Far\\cabin\\"},
        {"C:\\Far\\bin\\sub\\x.dll", "C:\\Far\\bin\\sub\\"},
    };
    for (const Case& c : cases) {
        char folder[260] = "";
        EXPECT_TRUE(versionFolderOf(c.dllPath, folder, sizeof folder)) << c.dllPath;
        EXPECT_STREQ(folder, c.folder) << c.dllPath;
    }
}

TEST(VersionFolderOf, PathWithoutFolderOrTooLongGivesNone) {
    char folder[16] = "old";
    EXPECT_FALSE(versionFolderOf("x.dll", folder, sizeof folder));
    EXPECT_STREQ(folder, "");
    EXPECT_FALSE(versionFolderOf("C:\\Far\\Plugins\\Hex\\x.dll", folder, sizeof folder));
    EXPECT_STREQ(folder, "");
}

} // namespace

TEST(CompareVersions, OrdersNumbersByValuePartByPartAndVersionsBeforeNone) {
    // The list's sort and the install question's "older" both read this order.
    struct Case { const char* a; const char* b; int order; } cases[] = {
        {"1.70 build 2", "1.70 build 12", -1},
        {"1.70 build 12", "1.70 build 126", -1},
        {"1.70 build 126", "1.70 build 180", -1},
        {"1.70 build 27", "1.70 build 3", 1},
        {"1.75", "1.75.2634", -1},
        {"1.9", "1.10", -1},
        {"2.0", "10.0", -1},
        {"1.07", "1.7", 0},            // leading zeros carry no value
        {"3.0.2", "2.1.0", 1},
        {"3.10", "3.9", 1},
        {"0.98", "0.100", -1},
        {"2.1", "2.1.0", 0},           // a trailing 0 adds nothing
        {"1, 0, 0, 1", "1.0.0.1", 0},  // separators are alike
        {"1.2beta", "1.2", -1},        // a suffix marks a build before the number
        {"1.2beta", "1.2.1", -1},
        {"1.2", "1.2.1", -1},
        {"1.2alpha", "1.2beta", -1},
        {"1.2 beta", "1.2-BETA", 0},
        {"3.0 RC1", "3.0", -1},
        {"3.0 RC1", "3.0 RC2", -1},
        {"3.0 RC2", "3.0.1", -1},
        {"3.0beta", "3.0rc1", -1},
        {"2.0a", "2.0", -1},
        {"2.0a", "2.0.1", -1},
        {"2.0a", "2.0b", -1},
        {"2.0", "2.0.0.0", 0},
        {"1.75 build 2634", "1.75.2634", 0},   // "build" only parts numbers
        {"1.75 build 2634", "1.75", 1},
        {"1.70 Beta", "1.70 beta", 0}, // text without regard to case
        {"1.70 alpha", "1.70 beta", -1},
        {"3.0", "", -1},               // a version before no version
        {"", "3.0", 1},
        {"", "", 0},
        {"3.0", nullptr, -1},
        {nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.order, compareVersions(c.a, c.b)) << (c.a ? c.a : "(none)") << " vs " << (c.b ? c.b : "(none)");
        EXPECT_EQ(-c.order, compareVersions(c.b, c.a)) << "reversed";
    }
}

TEST(CompareVersions, ReadsAFullFieldWithoutTerminator) {
    // 16 characters fill the field; the byte after it must not be read.
    char a[17], b[17];
    memcpy(a, "build 27.12.2005", 16);
    memcpy(b, "build 27.12.2005", 16);
    a[16] = '9';
    b[16] = '1';
    EXPECT_EQ(0, compareVersions(a, b));
}
