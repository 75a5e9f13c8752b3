#include "runtime/text.h"

#include <gtest/gtest.h>
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

TEST(SetEndSlash, NeverWritesPastItsBuffer) {
    char buf[8] = "1234567";
    buf[7] = 0;
    char guard = 'G';
    setEndSlash(buf, 1, sizeof buf);
    EXPECT_STREQ("1234567", buf);
    EXPECT_EQ('G', guard);
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
