// The text rules of installing: size numbers, and turning an archive plugin's
// extract command into the command line that is run.
#include "install/extractCommand.h"
#include "install/fileCopy.h"
#include "ui/failureReport.h"
#include "ui/boxText.h"
#include "runtime/text.h"
#include "ui/messages.h"
#include "state/pluginState.h"
#include "testSupport.h"

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

namespace {

int escapesLeft;
bool scriptedEscape() { return escapesLeft > 0 && escapesLeft-- > 0; }
int stopAnswer;
int stopQuestions;
// Questions are counted; the progress window, drawn without buttons, is not.
int WINAPI answerStop(int, DWORD flags, const char*, const char* const*, int, int) {
    if ((flags & FMSG_MB_YESNO) != FMSG_MB_YESNO) return -1;
    ++stopQuestions;
    return stopAnswer;
}

}  // namespace

// Esc while files are copied asks whether to stop. Stopping copies nothing
// more (what was copied stays); going on copies everything.
TEST(CopyStop, EscAsksAndStoppingCopiesNothingMore) {
    testing_support::TempDir dir("stop");
    ASSERT_TRUE(testing_support::writeFile(dir / "from\\a.txt", "a"));
    ASSERT_TRUE(testing_support::writeFile(dir / "from\\b.txt", "b"));
    PluginStartupInfo saved = startupInfo;
    startupInfo.Message = answerStop;
    setEscapeSource(scriptedEscape);
    const struct { int answer; bool copied; } cases[] = {{1, true}, {0, false}};
    for (const auto& c : cases) {
        resetCopyStop();
        clearFailureReport();
        stopAnswer = c.answer;
        stopQuestions = 0;
        escapesLeft = 1;
        std::string target = dir / (c.copied ? "on" : "stopped");
        ASSERT_EQ(1, copyEntry(nullptr, (dir / "from").c_str(), const_cast<char*>(target.c_str())));
        for (const char* name : {"a.txt", "b.txt"}) {
            WIN32_FIND_DATAA entry = {};
            strcpy(entry.cFileName, name);
            int ok = 1;
            EXPECT_EQ(c.copied ? 1 : 0, copyEntry(&entry, (dir / "from\\").c_str(), &ok)) << name;
        }
        EXPECT_EQ(1, stopQuestions) << "one question for one Esc";
        EXPECT_EQ(!c.copied, copyStopped());
        EXPECT_EQ(c.copied, testing_support::fileExists(target + "\\a.txt"));
        EXPECT_EQ(c.copied, testing_support::fileExists(target + "\\b.txt"));
        EXPECT_EQ(0, failureCount()) << "a stop is no failed copy";
    }
    setEscapeSource(nullptr);
    resetCopyStop();
    startupInfo = saved;
}

TEST(FailureReport, KeepsTheFirstLinesAndCountsTheRest) {
    clearFailureReport();
    noteFailure("Cannot copy", "a.txt");
    noteFailure("only");
    EXPECT_EQ(2, failureCount());
    EXPECT_STREQ("Cannot copy a.txt", failureLine(0));
    EXPECT_STREQ("only", failureLine(1));
    for (int i = 0; i < 40; ++i) noteFailure("more");
    EXPECT_EQ(42, failureCount());
    EXPECT_LT(failureLinesKept(), 42);
    EXPECT_STREQ("", failureLine(failureLinesKept()));
    clearFailureReport();
    EXPECT_EQ(0, failureCount());
}

TEST(ShortenMiddle, KeepsTheRootAndTheEndOfAPathAndHalvesOtherText) {
    struct Case { const char* in; size_t width; bool path; const char* out; } cases[] = {
        {"C:\\Far\\Plugins\\Net", 40, true, "C:\\Far\\Plugins\\Net"},              // fits: unchanged
        {"C:\\Far\\Plugins\\NetworkBrowser", 20, true, "C:\\...NetworkBrowser"},
        {"\\\\server\\share\\Far\\Plugins\\NetworkBrowser", 30, true, "\\\\server\\share\\...tworkBrowser"},
        {"Plugins\\NetworkBrowser\\bin", 16, true, "...rkBrowser\\bin"},          // no root: the end only
        {"arcx.exe x -y D:\\in\\net.zip C:\\Far\\Plugins\\", 21, false, "arcx.exe ...\\Plugins\\"},
        {"abcdef", 5, false, "a...f"},
        {"abcdef", 4, false, "abcdef"},                                         // too narrow to shorten
    };
    for (const Case& c : cases) {
        char out[260];
        shortenMiddle(out, sizeof out, c.in, c.width, c.path);
        EXPECT_STREQ(c.out, out) << c.in;
        if (strlen(c.in) > c.width && c.width >= 5) {
            EXPECT_EQ(c.width, strlen(out)) << c.in;
        }
    }
}

TEST(BoxTextWidth, IsTheScreenLessSixteenColumns) {
    EXPECT_EQ(64u, boxTextWidth(80));
    EXPECT_EQ(104u, boxTextWidth(120));
    EXPECT_EQ(40u, boxTextWidth(20));   // never narrower than a box needs
}

TEST(WindowsErrorMessageId, NamesTheCommonFailuresInOwnWords) {
    struct Case { unsigned long code; int id; } cases[] = {
        {32, MErrInUse}, {33, MErrInUse}, {206, MErrNameTooLong}, {5, MErrAccess}, {112, MErrDiskFull},
        {2, -1}, {183, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.id, windowsErrorMessageId(c.code)) << c.code;
}
