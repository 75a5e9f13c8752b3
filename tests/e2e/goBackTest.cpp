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

namespace {

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

// What the user makes or changes in a plugin's folder survives an update and
// going back: a file only the folder has stays, a changed file of the user's
// kind that the arriving build also brings stays as the user has it (the
// build's copy goes beside it as name.new, and the question names it), and
// the plugin's own code and texts always come from the arriving build.
TEST_F(GoBackTest, TheUsersFilesStayThroughAnUpdateAndGoingBack) {
    addFixture("calllogall", "Zeta\\");
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\settings.ini", "shipped 1"));
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\ZetaEng.lng", "texts 1"));
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\same.cfg", "same"));
    ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", dir / "Downloads\\Zeta\\calllogall.dll"));
    ASSERT_TRUE(writeFile(dir / "Downloads\\Zeta\\settings.ini", "shipped 2"));
    ASSERT_TRUE(writeFile(dir / "Downloads\\Zeta\\ZetaEng.lng", "texts 2"));
    ASSERT_TRUE(writeFile(dir / "Downloads\\Zeta\\same.cfg", "same"));
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\settings.ini", "the user's 1"));
    FarSetup setup;
    setup.loadAll = true;
    start(setup);
    panel = vantorel->open();
    ASSERT_NE(nullptr, panel);

    host->clearTranscript();
    host->answerMessages({1, 0});
    ASSERT_EQ(1, panel->putFiles(dir / "Downloads\\", {"Zeta"}).result);
    ASSERT_FALSE(host->messages.empty());
    const std::vector<std::string>& asked = host->messages[0].lines;
    EXPECT_TRUE(hasLine(asked, text(MUsersFilesStay))) << testing::PrintToString(asked);
    EXPECT_TRUE(hasLine(asked, "  settings.ini")) << "the changed file is named";
    EXPECT_FALSE(hasLine(asked, "  same.cfg")) << "an unchanged one is not";
    EXPECT_FALSE(hasLine(asked, "  ZetaEng.lng")) << "the plugin's texts come from the build";
    const struct { const char* file; const char* content; } updated[] = {
        {"settings.ini", "the user's 1"}, {"settings.ini.new", "shipped 2"}, {"ZetaEng.lng", "texts 2"},
        {"same.cfg", "same"},
    };
    for (const auto& f : updated) EXPECT_EQ(f.content, readFile(pluginsDir() + "Zeta\\" + f.file)) << f.file;

    // Since the update: the user edits the settings and the plugin writes a log.
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\settings.ini", "the user's 2"));
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\zeta.log", "written since"));
    info({1, 0, 0});
    ASSERT_GE(host->messages.size(), 3u);
    EXPECT_TRUE(hasLine(host->messages[1].lines, text(MGoBackKeepsFiles)));
    EXPECT_TRUE(hasLine(host->messages[1].lines, "settings.ini")) << testing::PrintToString(host->messages[1].lines);
    const struct { const char* file; const char* content; } back[] = {
        {"settings.ini", "the user's 2"}, {"settings.ini.new", "the user's 1"}, {"zeta.log", "written since"},
        {"ZetaEng.lng", "texts 1"},
    };
    for (const auto& f : back) EXPECT_EQ(f.content, readFile(pluginsDir() + "Zeta\\" + f.file)) << f.file;
    EXPECT_TRUE(readFile(fixtureDir("calllogall") + "calllogall.dll") == readFile(dll())) << "the old build's code";
    EXPECT_EQ("texts 2", readFile(previous() + "\\ZetaEng.lng")) << "the build gone back from is kept whole";
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging"));
}

// Going back on a plugin that is switched off keeps it off, and its question
// names the previous build's version; uninstalling a plugin takes its
// previous build with it, and the question says so.
TEST_F(GoBackTest, GoingBackKeepsAPluginOffAndUninstallTakesThePreviousBuild) {
    updateToBuild2(FAR_BUILDS[0]);
    host->answerMessages({0});
    ASSERT_TRUE(panel->setCurrentByName("Zeta"));
    panel->key(VK_F5, PKF_ALT);
    ASSERT_TRUE(fileExists(dll() + ".off"));

    info({1, 0, 0});
    ASSERT_GE(host->messages.size(), 3u);
    EXPECT_TRUE(hasLine(host->messages[1].lines, text(MUpdateStaysOff))) << testing::PrintToString(host->messages[1].lines);
    EXPECT_TRUE(fileExists(dll() + ".off")) << "still off";
    EXPECT_FALSE(fileExists(dll()));
    EXPECT_TRUE(readFile(fixtureDir("calllogall") + "calllogall.dll") == readFile(dll() + ".off"));

    host->clearTranscript();
    host->answerMessages({0, 0});
    ASSERT_TRUE(panel->setCurrentByName("Zeta"));
    panel->key(VK_F8, 0);
    ASSERT_FALSE(host->messages.empty());
    EXPECT_TRUE(hasLine(host->messages[0].lines, text(MUninstallPrevious)));
    EXPECT_FALSE(fileExists(pluginsDir() + "Zeta"));
    EXPECT_FALSE(fileExists(previous())) << "a reinstall never finds a build from before";
}
