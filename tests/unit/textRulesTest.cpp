#include "runtime/text.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>

TEST(SetEndSlash, AddsOrRemovesExactlyOneBackslash) {
    struct Case { const char* in; int wanted; const char* out; } cases[] = {
        {"C:\\", 0, "C:"},
        {"C:\\x\\\\", 0, "C:\\x\\"},
        {"C:\\x", 0, "C:\\x"},
        {"C:\\x\\", 1, "C:\\x\\"},
        {"C:\\x", 1, "C:\\x\\"},
        {"", 1, ""},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        char buf[260];
        strcpy(buf, c.in);
        setEndSlash(buf, c.wanted);
        EXPECT_STREQ(c.out, buf) << c.in << " wanted " << c.wanted;
    }
    setEndSlash(nullptr, 1);   // a missing path is left alone
}

// The bytes after the buffer sit in the same record, so that a write (or a
// read) past its capacity lands where the test looks.
struct GuardedPath {
    char path[8];
    char guard[4];
};

TEST(SetEndSlash, NeverWritesPastItsBuffer) {
    GuardedPath box;
    memcpy(box.path, "1234567", 8);   // full: no room for the backslash
    memcpy(box.guard, "GGG", 4);
    setEndSlash(box.path, 1, sizeof box.path);
    EXPECT_EQ(0, memcmp("1234567", box.path, 8));
    EXPECT_STREQ("GGG", box.guard);
}

TEST(SetEndSlash, NeverReadsPastItsBuffer) {
    GuardedPath box;
    memcpy(box.path, "12345678", 8);  // no terminator within the buffer
    memcpy(box.guard, "\\", 2);      // a backslash and the end beyond it
    memcpy(box.guard + 2, "G", 2);
    for (int wanted = 0; wanted <= 1; ++wanted) {
        setEndSlash(box.path, wanted, sizeof box.path);
        EXPECT_EQ(0, memcmp("12345678", box.path, 8)) << "wanted " << wanted;
        EXPECT_EQ(0, memcmp("\\\0G", box.guard, 4)) << "wanted " << wanted;
    }
}

TEST(FindNoCase, MatchesLettersWithoutCaseAndOtherBytesExactly) {
    struct Case { const char* text; const char* word; int at; } cases[] = {
        {"D:\\Tools\\Far\\Plugins\\Mgr\\x.dll", "\\plugins\\", 12},
        {"C:\\PLUGINS\\a\\PLUGINS\\b", "\\plugins\\", 2},
        {"Information", "for", 2},
        {"abc", "abcd", -1},
        {"\xC0\xE0", "\xE0", 1},          // non-ASCII letters are compared exactly
        {"\xC0", "\xE0", -1},
        {"", "x", -1},
    };
    for (const Case& c : cases) {
        const char* at = findNoCase(c.text, c.word);
        EXPECT_EQ(c.at, at ? static_cast<int>(at - c.text) : -1) << c.text << " / " << c.word;
    }
}

TEST(CopyText, CutsAtCapacityAndAlwaysTerminates) {
    char buf[5];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(4u, copyText(buf, sizeof buf, "abcdefgh"));
    EXPECT_STREQ("abcd", buf);
    EXPECT_EQ(0u, copyText(buf, sizeof buf, nullptr));
    EXPECT_STREQ("", buf);
    strcpy(buf, "ab");
    EXPECT_FALSE(appendWhole(buf, sizeof buf, "cde"));
    EXPECT_STREQ("ab", buf);
    EXPECT_FALSE(appendText(buf, sizeof buf, "cde"));
    EXPECT_STREQ("abcd", buf);
}
