// While an interrupted change is not repaired (its journal cannot be read,
// or cannot be written), no command changes plugin files, and the boxes say
// which journal and what to do; a repair that moves a folder FAR loaded a
// plugin from lets FAR go of it first and leaves nothing loaded or locked
// in the staging folder.
#include "harness.h"

using namespace testing_support;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

class JournalSafetyTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::string journal() const { return farDir() + "Vantorel.journal"; }
    std::string aside() const { return farDir() + "Vantorel.staging\\old-1\\Zeta"; }
    std::string staged() const { return farDir() + "Vantorel.staging\\new-2"; }
    // An update of Plugins\Zeta stopped after its renames were made and noted.
    std::string updateJournal() const {
        return "Vantorel journal 2\n"
               "plugin\t" + pluginsDir() + "Zeta\n"
               "move\t" + pluginsDir() + "Zeta\t" + aside() + "\n"
               "move\t" + staged() + "\t" + pluginsDir() + "Zeta\n"
               "keep\t" + aside() + "\t" + farDir() + "Vantorel.previous\\Zeta\n"
               "end\ndone\t0\ndone\t1\n";
    }
    // Zeta's old build aside, its new build in place, as the journal says.
    void interruptedUpdate() {
        addFixture("calllogall", "Zeta\\");
        ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\build.txt", "new"));
        ASSERT_TRUE(makeDirs(farDir() + "Vantorel.staging\\old-1\\"));
        ASSERT_TRUE(copyTree(fixtureDir("calllogall"), aside() + "\\"));
        ASSERT_TRUE(writeFile(aside() + "\\build.txt", "old"));
        ASSERT_TRUE(writeFile(journal(), updateJournal()));
    }
    std::vector<std::string> boxLines() const {
        std::vector<std::string> lines;
        for (const auto& m : host->messages)
            if (!m.buttons.empty()) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    std::vector<std::string> openList(bool loadAll = false) {
        FarSetup setup;
        setup.loadAll = loadAll;
        start(setup);
        host->clearTranscript();
        panel = vantorel->open();
        EXPECT_NE(nullptr, panel);
        return boxLines();
    }
};

TEST_F(JournalSafetyTest, AJournalThatCannotBeReadStopsEveryChangeOfPluginFiles) {
    addFixture("calllogall", "Zeta\\");
    ASSERT_TRUE(copyFile(fixtureDir("recorder") + "recorder.dll", farDir() + "..\\Downloads\\recorder.dll"));
    const std::string unreadable = updateJournal().substr(0, 120);
    ASSERT_TRUE(writeFile(journal(), unreadable));
    std::vector<std::string> told = openList();
    ASSERT_TRUE(contains(told, text(MRepairUnreadable)));
    EXPECT_TRUE(contains(told, text(MRepairJournalWaits))) << "what the user can do";
    EXPECT_TRUE(contains(told, text(MRepairFirstPath))) << "which plugin it is about";

    const struct { const char* what; int vk; unsigned state; } keys[] = {
        {"F8, uninstall", VK_F8, 0},
        {"Del, uninstall", VK_DELETE, 0},
        {"Alt+F5, switch off", VK_F5, PKF_ALT},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.what);
        ASSERT_TRUE(panel->setCurrentByName("Zeta"));
        host->clearTranscript();
        host->answerMessages({0, 0});
        panel->key(k.vk, k.state);
        std::vector<std::string> lines = boxLines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(text(MJournalInTheWay), lines[1]) << "refused before any question";
        EXPECT_TRUE(fileExists(pluginsDir() + "Zeta\\calllogall.dll"));
    }
    host->clearTranscript();
    host->answerMessages({0, 0});
    panel->putFiles(farDir() + "..\\Downloads\\", {"recorder.dll"});
    EXPECT_TRUE(contains(boxLines(), text(MJournalInTheWay))) << "a drop";
    EXPECT_FALSE(fileExists(pluginsDir() + "recorder\\recorder.dll"));
    EXPECT_EQ(unreadable, readFile(journal())) << "the journal is never overwritten";
}

// A journal that cannot be written (held open elsewhere) is not acted on:
// any number of opens change nothing, and each says how to clear it.
TEST_F(JournalSafetyTest, AJournalThatCannotBeWrittenIsNotActedOnUntilItCanBe) {
    interruptedUpdate();
    HANDLE held = CreateFileA(journal().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (int open = 1; open <= 2; ++open) {
        SCOPED_TRACE(open);
        std::vector<std::string> told = openList();
        EXPECT_TRUE(contains(told, text(MRepairStuck)));
        EXPECT_TRUE(contains(told, text(MRepairStuckJournal)));
        EXPECT_EQ("new", readFile(pluginsDir() + "Zeta\\build.txt"));
        EXPECT_EQ("old", readFile(aside() + "\\build.txt"));
        host.reset();
    }
    CloseHandle(held);
    std::vector<std::string> told = openList();
    EXPECT_TRUE(contains(told, text(MRepairUndone)));
    EXPECT_EQ("old", readFile(pluginsDir() + "Zeta\\build.txt"));
    EXPECT_FALSE(fileExists(journal()));
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging"));
}

// FAR loaded the half-updated build at its start; the repair lets it go
// before moving the folder back, and FAR loads the build on disk again at
// its next use.
TEST_F(JournalSafetyTest, ARepairLetsFarGoOfAPluginItMovesAndNothingStaysLoadedInStaging) {
    interruptedUpdate();
    std::vector<std::string> told = openList(true);
    EXPECT_TRUE(contains(told, text(MRepairUndone))) << testing::PrintToString(told);
    EXPECT_EQ("old", readFile(pluginsDir() + "Zeta\\build.txt"));
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging")) << "the new build went to the Recycle Bin";
    EXPECT_FALSE(moduleLoaded(staged() + "\\calllogall.dll"));
    EXPECT_FALSE(moduleLoaded(pluginsDir() + "Zeta\\calllogall.dll")) << "let go of; FAR loads it at its next use";
    EXPECT_FALSE(fileExists(journal()));
}
