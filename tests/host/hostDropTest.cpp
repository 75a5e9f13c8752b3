// Copying onto a plugin's panel, as the emulator does it: what a plugin's
// PutFiles receives must be what the host would hand it, or every
// installation test checks the plugin against the wrong host.
#include "farHost.h"
#include "panels/drop.h"
#include "panels/folderPanel.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testing_support;
using namespace farhost::api;

namespace {

std::string currentFolder() {
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
}

std::string withoutSlash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// A host with the PutFiles-logging fixture loaded and its panel open.
class PutFilesTest : public ::testing::Test {
protected:
    TempDir dir{"drop"};
    std::unique_ptr<farhost::Host> host;
    farhost::Panel* panel = nullptr;
    std::string source = dir / "Downloads\\";

    void SetUp() override {
        ASSERT_TRUE(copyTree(fixtureDir("putfiles"), dir / "Far\\Plugins\\PutFiles\\"));
        farhost::HostOptions options;
        options.hostDir = dir / "Far\\";
        host.reset(new farhost::Host(options));
        farhost::Plugin* plugin = host->load(dir / "Far\\Plugins\\PutFiles\\putfiles.dll");
        ASSERT_NE(nullptr, plugin) << host->lastError();
        panel = plugin->open();
        ASSERT_NE(nullptr, panel);
    }
    void TearDown() override { host.reset(); }

    // The plugin's log from its PutFiles call on.
    std::vector<std::string> putFilesLog() {
        std::vector<std::string> lines = readLines(dir / "Far\\Plugins\\PutFiles\\putfiles.dll.log");
        size_t i = 0;
        while (i < lines.size() && lines[i].compare(0, 8, "PutFiles") != 0) ++i;
        return std::vector<std::string>(lines.begin() + i, lines.end());
    }
};

TEST_F(PutFilesTest, ItemsAreTheNamesAsGivenSelectedWithTheirFindDataFromTheSourceFolder) {
    ASSERT_TRUE(writeFile(source + "weather.dll", "12345"));
    ASSERT_TRUE(writeFile(source + "Colorer\\colorer.dll", "1234567"));
    std::string before = currentFolder();

    farhost::PutResult r = panel->putFiles(source, {"weather.dll", "Colorer", "Colorer\\colorer.dll", "gone.txt"},
                                           OPM_SILENT, true);

    // The plugin saw relative names resolved against the source folder,
    // which the process stood in only for the call.
    std::vector<std::string> expected = {
        "PutFiles n=4 move=1 opMode=0x1 cwd=" + withoutSlash(source),
        "item name=weather.dll flags=0x40000000 size=5 attr=0x20",
        "item name=Colorer flags=0x40000000 size=0 attr=0x10",
        "item name=Colorer\\colorer.dll flags=0x40000000 size=7 attr=0x20",
        "item name=gone.txt flags=0x40000000 size=0 attr=0x0",
        "GetFindData",   // the panel is read again afterwards
    };
    EXPECT_EQ(expected, putFilesLog());
    EXPECT_EQ(before, currentFolder());

    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<std::string>{"weather.dll", "Colorer", "Colorer\\colorer.dll", "gone.txt"}), r.names);
    EXPECT_EQ((std::vector<bool>{false, true, true, true}), r.selected);   // the fixture clears the first
    EXPECT_EQ(std::vector<bool>(4, false), r.kept) << "a result of 1 clears the whole selection";
    ASSERT_EQ(4u, r.after.size());
    EXPECT_EQ(0u, r.after[0].Flags);
    EXPECT_EQ(PPIF_SELECTED, r.after[1].Flags);

    std::vector<std::string> transcript = host->transcript;
    auto call = std::find(transcript.begin(), transcript.end(), "> PutFiles(4 items, move 1, opMode 0x1) = 1");
    ASSERT_NE(transcript.end(), call);
    ASSERT_GE(transcript.end() - call, 5);
    EXPECT_EQ("  deselected: weather.dll", call[1]);
    EXPECT_EQ("  deselected: gone.txt", call[4]);
    EXPECT_TRUE(host->problems.empty());
}

TEST_F(PutFilesTest, NameLongerThanTheRecordIsCutAndNoted) {
    std::string longName(300, 'n');
    ASSERT_TRUE(makeDirs(source));
    farhost::PutResult r = panel->putFiles(source, {longName});

    ASSERT_EQ(1u, r.names.size());
    EXPECT_EQ(longName.substr(0, MAX_PATH - 1), r.names[0]);
    std::vector<std::string> log = putFilesLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ("item name=" + longName.substr(0, MAX_PATH - 1) + " flags=0x40000000 size=0 attr=0x0", log[1]);
    ASSERT_EQ(1u, host->problems.size()) << host->problems.back();
    EXPECT_NE(std::string::npos, host->problems[0].find("longer than 259"));
}

// F5 on the folder panel: the host asks first and copies nothing when
// declined; after a copy that went over only in part (result 0) the items
// the plugin left selected stay selected, after a result of 1 none does.
TEST_F(PutFilesTest, CopyFromTheFolderPanelAsksFirstAndKeepsWhatThePluginLeftSelected) {
    ASSERT_TRUE(writeFile(source + "partial.dll", "1"));
    ASSERT_TRUE(writeFile(source + "x.txt", "22"));
    ASSERT_TRUE(makeDirs(source + "sub"));
    farhost::FolderPanel folder(source);
    // ".." first, then folders, then files by name: select sub and partial.dll.
    for (int vk : {VK_DOWN, VK_INSERT, VK_INSERT}) ASSERT_TRUE(folder.key(vk, 0));
    ASSERT_EQ((std::vector<std::string>{"sub", "partial.dll"}), folder.chosen());

    std::vector<farhost::MessageCall> asked;
    auto answer = [&asked](int a) {
        return [&asked, a](const farhost::MessageCall& box) {
            asked.push_back(box);
            return a;
        };
    };
    EXPECT_FALSE(farhost::copyOnto(*host, *panel, folder, answer(1)));
    EXPECT_TRUE(putFilesLog().empty()) << "declined: nothing goes to the plugin";
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ((std::vector<std::string>{"Copy", "Copy 2 items to", panel->title(), "Copy", "Cancel"}), asked[0].lines);
    EXPECT_EQ((std::vector<std::string>{"Copy", "Cancel"}), asked[0].buttons);

    farhost::PutResult r;
    EXPECT_TRUE(farhost::copyOnto(*host, *panel, folder, answer(0), &r));
    EXPECT_EQ(0, r.result);
    std::vector<std::string> log = putFilesLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ("PutFiles n=2 move=0 opMode=0x0 cwd=" + withoutSlash(source), log[0]);
    EXPECT_EQ("item name=sub flags=0x40000000 size=0 attr=0x10", log[1]);
    // The fixture cleared sub's flag: sub is no longer selected, partial.dll is.
    EXPECT_EQ((std::vector<std::string>{"partial.dll"}), folder.chosen());
    EXPECT_FALSE(farhost::copyOnto(*host, *panel, folder, answer(1)));
    ASSERT_EQ(3u, asked.size());
    EXPECT_EQ("Copy \"partial.dll\" to", asked[2].lines[1]) << "a single item is named";

    // A result of 1: the host clears the whole selection, whatever the flags say.
    farhost::FolderPanel other(source);
    for (int vk : {VK_DOWN, VK_INSERT, VK_DOWN, VK_INSERT}) ASSERT_TRUE(other.key(vk, 0));
    ASSERT_EQ((std::vector<std::string>{"sub", "x.txt"}), other.chosen());
    EXPECT_TRUE(farhost::copyOnto(*host, *panel, other, answer(0), &r));
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{false, true}), r.selected);
    EXPECT_FALSE(other.anySelected());
}

// With nothing selected the current item is copied, but never "..".
TEST(FolderPanel, CopiesTheCurrentItemWhenNothingIsSelectedButNeverTheParent) {
    TempDir dir("folder");
    ASSERT_TRUE(writeFile(dir / "Downloads\\weather.dll", "x"));
    ASSERT_TRUE(writeFile(dir / "Downloads\\readme.txt", "x"));
    farhost::FolderPanel folder(dir / "Downloads");

    EXPECT_TRUE(folder.chosen().empty()) << "the cursor starts on ..";
    folder.key(VK_DOWN, 0);
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, folder.chosen());
    folder.key(VK_INSERT, 0);   // selects readme.txt, moves to weather.dll
    folder.key(VK_HOME, 0);
    folder.key(VK_INSERT, 0);   // ".." cannot be selected
    EXPECT_EQ(std::vector<std::string>{"readme.txt"}, folder.chosen());
    folder.key(VK_HOME, 0);
    folder.key(VK_RETURN, 0);   // up to the parent, the cursor on the folder we came from
    EXPECT_EQ(std::vector<std::string>{"Downloads"}, folder.chosen());
    EXPECT_EQ(dir.path(), folder.dir());
}

}  // namespace
