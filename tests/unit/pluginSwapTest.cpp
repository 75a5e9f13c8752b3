// Putting a staged plugin folder in place as a whole: the staging folder
// lies outside the plugins tree on the same volume, and a failure at any
// step leaves the installed folder as it was.
#include "folders/pluginSwap.h"
#include "state/pluginState.h"
#include "testSupport.h"

#include <gtest/gtest.h>
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
        {"a new folder that cannot be moved in", false, 1u << 2, PLACE_IN_FAILED, "", true},
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
