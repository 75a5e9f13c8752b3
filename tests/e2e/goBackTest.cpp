// An update keeps the build it replaced beside the plugins folder; F3 names
// it and goes back to it (FAR then runs the old build at its next use), or
// drops it.
#include "harness.h"

using namespace testing_support;

namespace {

bool startsAnyLine(const std::vector<std::string>& lines, const std::string& start) {
    for (const std::string& line : lines)
        if (line.compare(0, start.size(), start) == 0) return true;
    return false;
}

}  // namespace

class GoBackTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::string dll() const { return pluginsDir() + "Zeta\\calllogall.dll"; }
    std::string previous() const { return farDir() + "Vantorel.previous\\Zeta"; }

    // Build 1 loaded, then build 2 dropped over it and updated in place.
    void updateToBuild2(const FarBuild& build) {
        addFixture("calllogall", "Zeta\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", dir / "Downloads\\calllogall.dll"));
        FarSetup setup;
        setup.far175 = build.far175;
        setup.loadAll = true;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        host->answerMessages({1, 0});
        ASSERT_EQ(1, panel->putFiles(dir / "Downloads\\", {"calllogall.dll"}).result);
        ASSERT_TRUE(readFile(fixtureDir("calllogall") + "calllogall.dll") == readFile(previous() + "\\calllogall.dll"))
            << "the replaced build is kept";
    }
    void info(std::initializer_list<int> answers) {
        ASSERT_TRUE(panel->setCurrentByName("Zeta"));
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(VK_F3, 0);
    }
    int buildRunning() {
        DeleteFileA((dll() + ".log").c_str());
        farhost::Panel* opened = host->findPlugin("calllogall.dll")->open(OPEN_DISKMENU, 0);
        if (opened) opened->close();
        for (const std::string& line : readLog("Zeta\\calllogall.dll"))
            if (line.find("SetStartupInfo") == 0) return line.back() - '0';
        return 0;
    }
};

TEST_F(GoBackTest, GoingBackRunsThePreviousBuildAtItsNextUse) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        updateToBuild2(build);
        ASSERT_EQ(2, buildRunning());

        info({1, 0, 0});   // F3: Go back; the question: Yes; the closing box
        ASSERT_GE(host->messages.size(), 3u);
        const farhost::MessageCall& box = host->messages[0];
        std::string named = text(MInfoPreviousBuild);
        EXPECT_TRUE(startsAnyLine(box.lines, named.substr(0, named.find(':') + 1))) << testing::PrintToString(box.lines);
        // OK as the FAR it runs in spells it in its own boxes.
        const std::string ok = build.far175 ? "OK" : "Ok";
        EXPECT_EQ((std::vector<std::string>{ok, text(MBtnGoBack), text(MBtnDropPrevious)}), box.buttons);
        EXPECT_EQ(text(MAskGoBack), host->messages[1].lines.at(1));
        EXPECT_EQ(text(MWentBackNextUse), host->messages[2].lines.at(1));
        EXPECT_EQ(1, buildRunning()) << "FAR runs the old build";
        EXPECT_TRUE(readFile(fixtureDir("calllogall2") + "calllogall2.dll") == readFile(previous() + "\\calllogall.dll"))
            << "the build gone back from is the previous one now";

        info({2, 0});   // F3: Drop it
        EXPECT_FALSE(fileExists(previous()));
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
        removeTree(farDir() + "Vantorel.previous");
    }
}
