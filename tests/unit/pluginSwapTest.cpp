// Putting a staged plugin folder in place as a whole: the staging folder
// lies outside the plugins tree on the same volume, and a failure at any
// step leaves the installed folder as it was.
#include "folders/besidePlugins.h"
#include "folders/fileOps.h"
#include "folders/folderRemoval.h"
#include "folders/journalRepair.h"
#include "folders/pluginSwap.h"
#include "folders/previousBuilds.h"
#include "state/pluginState.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <string>

using namespace testing_support;

namespace {

class PluginSwap : public ::testing::Test {
protected:
    TempDir dir{"swap"};
    std::string root = dir / "Far\\Plugins\\";
    const char* savedRoot = nullptr;
    void SetUp() override {
        savedRoot = pluginsRoot;
        pluginsRoot = root.c_str();
        ASSERT_TRUE(makeDirs(root));
    }
    void TearDown() override {
        failFolderMoves(0, 0);
        pluginsRoot = savedRoot;
    }
    std::string stage(const std::string& target, const std::string& content) {
        char staged[MAX_PATH] = {};
        EXPECT_TRUE(makeStagingFolder(target.c_str(), staged, sizeof staged));
        EXPECT_TRUE(writeFile(std::string(staged) + "\\plugin.dll", content));
        return staged;
    }
};

}  // namespace

TEST_F(PluginSwap, TheStagingFolderIsBesideThePluginsFolderNotInIt) {
    const char* savedPersonal = personalPluginsFolder;
    const std::string inside = root + "Mine\\", outside = dir / "Home\\Plugins\\";
    const struct { const char* what; std::string personal, target, stagedIn; } cases[] = {
        {"under the plugins root", "", root + "Net", dir / "Far\\Vantorel.staging\\"},
        {"under a personal folder elsewhere", outside, outside + "Net", dir / "Home\\Vantorel.staging\\"},
        {"under a personal folder in the plugins tree", inside, inside + "Net", dir / "Far\\Vantorel.staging\\"},
    };
    ASSERT_TRUE(makeDirs(outside));
    for (const auto& c : cases) {
        personalPluginsFolder = c.personal.empty() ? nullptr : c.personal.c_str();
        char staged[MAX_PATH] = {};
        ASSERT_TRUE(makeStagingFolder(c.target.c_str(), staged, sizeof staged)) << c.what;
        std::string s = staged;
        EXPECT_EQ(c.stagedIn, s.substr(0, c.stagedIn.size())) << c.what;
        char second[MAX_PATH] = {};
        ASSERT_TRUE(makeStagingFolder(c.target.c_str(), second, sizeof second));
        EXPECT_NE(s, std::string(second)) << "each install stages apart";
        removeFolderTree(staged);
        removeFolderTree(second);
        tidyStagingFolders();
        EXPECT_FALSE(fileExists(c.stagedIn)) << c.what << ": an empty staging root goes";
    }
    personalPluginsFolder = savedPersonal;
}

// A failure at each step of the swap: what ends up at the target, and where the staged folder is.
TEST_F(PluginSwap, AFailureAtAnyStepLeavesTheOldFolderInPlace) {
    const struct {
        const char* what;
        bool oldThere;
        unsigned failing;
        PlaceOutcome outcome;
        const char* atTarget;   // plugin.dll's content afterwards, "" when there is none
        bool stagedKept;
    } cases[] = {
        {"a new folder", false, 0, PLACE_DONE, "new", false},
        {"a new folder that cannot be moved in", false, 1u << 1, PLACE_IN_FAILED, "", true},
        {"an update", true, 0, PLACE_DONE, "new", false},
        {"the old folder cannot go aside", true, 1u << 1, PLACE_ASIDE_FAILED, "old", true},
        {"the new folder cannot go in", true, 1u << 2, PLACE_IN_FAILED, "old", true},
        {"... nor the old one back", true, (1u << 2) | (1u << 3), PLACE_RESTORE_FAILED, "", true},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::string target = root + "P" + std::to_string(++n);
        if (c.oldThere) {
            ASSERT_TRUE(writeFile(target + "\\plugin.dll", "old"));
            ASSERT_TRUE(writeFile(target + "\\user.ini", "edits"));
        }
        std::string staged = stage(target, "new");
        failFolderMoves(c.failing, ERROR_SHARING_VIOLATION);
        PlaceResult r = placeStagedFolder(staged.c_str(), target.c_str());
        failFolderMoves(0, 0);
        EXPECT_EQ(c.outcome, r.outcome) << c.what;
        EXPECT_EQ(std::string(c.atTarget), readFile(target + "\\plugin.dll")) << c.what;
        EXPECT_EQ(c.stagedKept, fileExists(staged + "\\plugin.dll")) << c.what;
        if (c.outcome != PLACE_DONE) {
            EXPECT_EQ(static_cast<unsigned long>(ERROR_SHARING_VIOLATION), r.error) << c.what;
        }
        if (c.outcome == PLACE_DONE && c.oldThere) {
            EXPECT_FALSE(fileExists(target + "\\user.ini")) << c.what << ": replaced as a whole";
            EXPECT_FALSE(r.oldLeft) << c.what;
        }
        if (c.outcome == PLACE_RESTORE_FAILED) {
            EXPECT_EQ("old", readFile(std::string(r.heldAside) + "\\plugin.dll")) << c.what << ": kept aside";
            EXPECT_EQ(dir / "Far\\Vantorel.staging\\",
                      std::string(r.heldAside).substr(0, (dir / "Far\\Vantorel.staging\\").size()));
        }
    }
}

TEST_F(PluginSwap, RemovingATreeTakesReadOnlyFilesAndNestedFolders) {
    std::string tree = dir / "Tree";
    ASSERT_TRUE(writeFile(tree + "\\a\\b\\c.txt", "c"));
    ASSERT_TRUE(writeFile(tree + "\\ro.txt", "r"));
    SetFileAttributesA((tree + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(removeFolderTree(tree.c_str()));
    EXPECT_FALSE(fileExists(tree));
}

// Only a journal written to its end is acted on; any other is left alone
// and reported.
TEST(MoveJournal, OnlyAWholeJournalIsReadBackWithItsNotes) {
    MovePlan plan;
    memset(&plan, 0, sizeof plan);
    ASSERT_TRUE(planFolder(plan, "C:\\Far\\Plugins\\Net"));
    ASSERT_TRUE(planMove(plan, "C:\\Far\\Plugins\\Net", "C:\\Far\\Vantorel.staging\\old-1\\Net"));
    ASSERT_TRUE(planMove(plan, "C:\\Far\\Vantorel.staging\\new-2", "C:\\Far\\Plugins\\Net"));
    ASSERT_TRUE(planKeep(plan, "C:\\Far\\Vantorel.staging\\old-1\\Net", "C:\\Far\\Vantorel.previous\\Net"));
    char text[4096];
    size_t n = writeJournalText(plan, text, sizeof text);
    ASSERT_GT(n, 0u);
    const std::string whole(text, n);
    MovePlan back;
    JournalProgress progress;
    const std::string noted = whole + "done\t0\ndone\t1\ncommit\ndone\t20\ndo";
    ASSERT_TRUE(readJournalText(noted.data(), noted.size(), &back, &progress)) << "a note cut short is no note";
    EXPECT_EQ(2, back.moveCount);
    EXPECT_STREQ("C:\\Far\\Plugins\\Net", back.moves[1].to);
    EXPECT_STREQ("C:\\Far\\Plugins\\Net", back.folders[0]);
    EXPECT_EQ(1, back.keepCount);
    EXPECT_TRUE(progress.committed);
    EXPECT_EQ((1u << 0) | (1u << 1) | (1u << FIRST_KEEP), progress.done);
    const std::string older = "Vantorel journal 1\nmove\ta\tb\ncommit\nend\n";
    ASSERT_TRUE(readJournalText(older.data(), older.size(), &back, &progress)) << "a journal of the build before";
    EXPECT_TRUE(progress.committed);
    const struct { const char* what; std::string text; } broken[] = {
        {"cut before its end", whole.substr(0, n - 4)},
        {"cut in a path", whole.substr(0, 40)},
        {"another header", "Vantorel journal 3" + whole.substr(whole.find('\n'))},
        {"an unknown step", std::string(whole).insert(whole.find("move"), "rename\ta\tb\n")},
        {"a note of a step the plan has not", whole + "done\t7\n"},
        {"an unknown note", whole + "moved\t1\n"},
        {"a move after the end", whole + "move\ta\tb\n"},
        {"no moves", "Vantorel journal 2\nend\n"},
    };
    for (const auto& b : broken)
        EXPECT_FALSE(readJournalText(b.text.data(), b.text.size(), &back, &progress)) << b.what;
}

namespace {

// Started again as a child with VANTOREL_SWAP_AND_END="root|staged|target|step",
// this program swaps and its process is ended right after that step, as
// when FAR is killed in the middle of an install.
struct SwapAndEnd {
    SwapAndEnd() {
        char order[3 * MAX_PATH + 16];
        DWORD n = GetEnvironmentVariableA("VANTOREL_SWAP_AND_END", order, sizeof order);
        if (!n || n >= sizeof order) return;
        char* parts[4] = {order, nullptr, nullptr, nullptr};
        for (int i = 1; i < 4; ++i) {
            char* bar = strchr(parts[i - 1], '|');
            if (!bar) return;
            *bar = 0;
            parts[i] = bar + 1;
        }
        pluginsRoot = parts[0];
        stopFileOpsAfter(atoi(parts[3]));
        placeStagedFolder(parts[1], parts[2]);
        TerminateProcess(GetCurrentProcess(), 3);
    }
} swapAndEnd;

}  // namespace

// The same, with the process really ended under Wine between the two moves.
TEST_F(PluginSwap, AnInstallWhoseProcessEndedBetweenItsMovesIsRepaired) {
    const std::string target = root + "Net";
    const std::string journal = dir / "Far\\Vantorel.journal";
    ASSERT_TRUE(writeFile(target + "\\plugin.dll", "old"));
    std::string staged = stage(target, "new");
    // The holder made, the journal written and renamed into place, the old
    // folder moved aside.
    std::string order = root + "|" + staged + "|" + target + "|4";
    ASSERT_TRUE(SetEnvironmentVariableA("VANTOREL_SWAP_AND_END", order.c_str()));
    char self[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameA(nullptr, self, sizeof self));
    std::string command = std::string("\"") + self + "\" --gtest_filter=None";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("VANTOREL_SWAP_AND_END", nullptr);
    ASSERT_TRUE(started);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    ASSERT_EQ(3u, code) << "ended in the middle of the swap";
    ASSERT_FALSE(fileExists(target)) << "the plugin's folder is away";
    ASSERT_TRUE(fileExists(journal));

    EXPECT_EQ(RECOVERY_UNDONE, recoverJournal(journal.c_str()).outcome);
    EXPECT_FALSE(fileExists(dir / "Far\\Vantorel.staging")) << "nothing staged is left behind";
    EXPECT_EQ("old", readFile(target + "\\plugin.dll"));
    EXPECT_FALSE(fileExists(journal));
}

// The space F3 names counts each previous build once, wherever the
// personal plugins folder lies.
TEST_F(PluginSwap, PreviousBuildsAreCountedOnce) {
    const char* savedPersonal = personalPluginsFolder;
    const std::string inside = root + "Mine\\", insideBare = root + "Mine", outside = dir / "Home\\Plugins\\";
    ASSERT_TRUE(writeFile(dir / "Far\\Vantorel.previous\\Net\\plugin.dll", std::string(1000, 'p')));
    ASSERT_TRUE(writeFile(dir / "Home\\Vantorel.previous\\Own\\own.dll", std::string(300, 'o')));
    const struct { const char* what; const std::string* personal; unsigned long long bytes; } cases[] = {
        {"no personal folder", nullptr, 1000},
        {"a personal folder under Plugins", &inside, 1000},
        {"... named without its backslash", &insideBare, 1000},
        {"a personal folder elsewhere", &outside, 1300},
    };
    for (const auto& c : cases) {
        personalPluginsFolder = c.personal ? c.personal->c_str() : nullptr;
        EXPECT_EQ(c.bytes, previousBuildsSize()) << c.what;
    }
    personalPluginsFolder = savedPersonal;
}
