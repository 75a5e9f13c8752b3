// A change of a plugin's folder that FAR's end interrupted, as its journal
// beside the plugins folder tells it, is repaired when Vantorel next opens:
// the plugin is as before or as after, the journal is gone, and one box
// says what was repaired. A journal that cannot be read is left alone.
#include "harness.h"

using namespace testing_support;

class ChangeRepairTest : public HostTest {
protected:
    std::string journal() const { return farDir() + "Vantorel.journal"; }
    std::string aside() const { return farDir() + "Vantorel.staging\\old-1\\Zeta"; }
    std::string staged() const { return farDir() + "Vantorel.staging\\new-2"; }
    std::string previous() const { return farDir() + "Vantorel.previous\\Zeta"; }
    // The journal an install writes before it swaps Plugins\Zeta.
    std::string swapJournal(bool committed) const {
        return "Vantorel journal 1\n"
               "move\t" + pluginsDir() + "Zeta\t" + aside() + "\n"
               "move\t" + staged() + "\t" + pluginsDir() + "Zeta\n"
               "keep\t" + aside() + "\t" + previous() + "\n" +
               (committed ? "commit\n" : "") + "end\n";
    }
    std::vector<std::string> openAndTell() {
        start();
        host->clearTranscript();
        EXPECT_NE(nullptr, vantorel->open());
        std::vector<std::string> lines;
        for (const auto& m : host->messages)
            if (!m.buttons.empty()) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
};

TEST_F(ChangeRepairTest, AnInterruptedInstallIsUndoneOrFinishedWhenVantorelOpens) {
    const struct {
        const char* what;
        bool oldAside, newIn, committed;
        int outcome;
        const char* build;   // Zeta's DLL afterwards
    } cases[] = {
        {"ended after the old folder went aside", true, false, false, MRepairUndone, "old"},
        {"ended after the new folder went in", true, true, false, MRepairUndone, "old"},
        {"ended after the change was whole", true, true, true, MRepairFinished, "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\zeta.dll", "old"));
        ASSERT_TRUE(writeFile(staged() + "\\zeta.dll", "new"));
        ASSERT_TRUE(makeDirs(farDir() + "Vantorel.staging\\old-1\\"));
        if (c.oldAside) ASSERT_TRUE(MoveFileA((pluginsDir() + "Zeta").c_str(), aside().c_str()));
        if (c.newIn) ASSERT_TRUE(MoveFileA(staged().c_str(), (pluginsDir() + "Zeta").c_str()));
        ASSERT_TRUE(writeFile(journal(), swapJournal(c.committed)));

        std::vector<std::string> told = openAndTell();
        EXPECT_EQ(c.build, readFile(pluginsDir() + "Zeta\\zeta.dll"));
        EXPECT_FALSE(fileExists(journal()));
        ASSERT_GE(told.size(), 4u);
        EXPECT_EQ(text(MRepaired), told[1]);
        EXPECT_EQ(text(c.outcome), told[3]);
        if (c.committed) {
            EXPECT_EQ("old", readFile(previous() + "\\zeta.dll")) << "the replaced build kept";
        }
        host.reset();
        removeTree(pluginsDir() + "Zeta");
        removeTree(farDir() + "Vantorel.staging");
        removeTree(farDir() + "Vantorel.previous");
    }
}

TEST_F(ChangeRepairTest, AJournalThatCannotBeReadIsLeftAloneAndReported) {
    ASSERT_TRUE(makeDirs(farDir() + "Vantorel.staging\\old-1\\"));
    ASSERT_TRUE(writeFile(staged() + "\\zeta.dll", "new"));
    std::string cut = swapJournal(false);
    cut.resize(cut.size() - 10);
    ASSERT_TRUE(writeFile(journal(), cut));
    std::vector<std::string> told = openAndTell();
    ASSERT_GE(told.size(), 2u);
    EXPECT_EQ(text(MRepairUnreadable), told[1]);
    EXPECT_EQ(cut, readFile(journal()));
    EXPECT_TRUE(fileExists(staged() + "\\zeta.dll")) << "nothing was moved";
}
