// The text rules of installing: size numbers, and turning an archive plugin's
// extract command into the command line that is run.
#include "commands/extractCommand.h"
#include "commands/install.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>

TEST(InsertThousands, GroupsDigitsByThreeFromTheRight) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"", ""},
        {"7", "7"},
        {"999", "999"},
        {"1000", "1,000"},
        {"12345", "12,345"},
        {"123456", "123,456"},
        {"1234567", "1,234,567"},
        {"4294967295", "4,294,967,295"},
    };
    for (const Case& c : cases) {
        char buf[32];
        strcpy(buf, c.in);
        insertThousands(buf, sizeof buf);
        EXPECT_STREQ(c.out, buf) << c.in;
    }
}

TEST(InsertThousands, LeavesATextThatWouldNotFitAlone) {
    char buf[10] = "1234567";   // "1,234,567" needs exactly 10 bytes: fits
    insertThousands(buf, sizeof buf);
    EXPECT_STREQ("1,234,567", buf);
    char small[9] = "1234567";
    insertThousands(small, sizeof small);
    EXPECT_STREQ("1234567", small);
}

TEST(ExtractCommand, BraceGroupsAndPercentWordsAreRemoved) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"arc x {-p%P} -y %A -l%L", "arc x  -y"},              // the two blanks around the group stay
        {"arc x -y", "arc x -y"},                              // nothing to remove
        {"arc x {-p%P} -y {-ap%R", "arc x  -y "},              // an unclosed group runs to the end
        {"%A x -y", " x -y"},                                  // a word at the start goes from the start
        {"arc x %%A", "arc x"},
        {"arc {a}{b} x", "arc  x"},
        {"arc x -o%F%P -y", "arc x -y"},
        {"{only}", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        char buf[400];
        strcpy(buf, c.in);
        rewriteExtractCommand(buf);
        EXPECT_STREQ(c.out, buf) << c.in;
    }
}

TEST(ExtractCommand, ArchiveAndTargetAreAppendedQuotedOnlyWithBlanks) {
    struct Case { const char* archive; const char* target; const char* out; } cases[] = {
        {"D:\\in\\net.rar", "C:\\Far\\Plugins\\net", "arc x  -y D:\\in\\net.rar C:\\Far\\Plugins\\net\\"},
        {"net tools.zip", "C:\\PLUGINS\\NETTOO~1", "arc x  -y \"net tools.zip\" C:\\PLUGINS\\NETTOO~1\\"},
        {"a.zip", "C:\\Far\\My Plugins\\a", "arc x  -y a.zip \"C:\\Far\\My Plugins\\a\\\\\""},
    };
    for (const Case& c : cases) {
        char buf[400] = "arc x  -y";
        ASSERT_TRUE(appendArchiveAndTarget(buf, sizeof buf, c.archive, c.target)) << c.archive;
        EXPECT_STREQ(c.out, buf);
    }
}

TEST(ExtractCommand, ACommandThatWouldNotFitIsRefusedUnchanged) {
    char buf[400] = "arc x -y";
    std::string longName(380, 'n');
    EXPECT_FALSE(appendArchiveAndTarget(buf, sizeof buf, (longName + ".zip").c_str(), "C:\\P\\n"));
    EXPECT_STREQ("arc x -y", buf);
    // Exactly full: 399 characters and the terminator.
    std::string fits(399 - strlen("arc x -y") - strlen(" ") - strlen(" C:\\t\\"), 'a');
    EXPECT_TRUE(appendArchiveAndTarget(buf, sizeof buf, fits.c_str(), "C:\\t"));
    EXPECT_EQ(399u, strlen(buf));
}
