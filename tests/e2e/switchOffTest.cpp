// Alt+F5 switches plugins off and on: off, FAR neither loads nor lists the
// plugin, now and after a restart, and everything else of it stays; on, FAR
// loads it at its next use when it still holds its record, else at its next
// start, and the closing box says which.
#include "harness.h"

using namespace testing_support;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

class SwitchOffTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::string dll() const { return pluginsDir() + "Zeta\\calllogall.dll"; }

    void openList(const FarBuild& build, bool warm) {
        FarSetup setup;
        setup.far175 = build.far175;
        setup.warm = warm;
        setup.loadAll = true;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    std::vector<std::string> press(const char* item, int vk, unsigned state, std::initializer_list<int> answers) {
        EXPECT_TRUE(panel->setCurrentByName(item));
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(vk, state);
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    std::string description(const char* item) {
        for (const auto& e : panel->items())
            if (e.name == pluginsDir() + item) return e.raw.Description ? e.raw.Description : "";
        return "<no item>";
    }
    std::string mark(const char* item) {
        for (const auto& e : panel->items())
            if (e.name == pluginsDir() + item)
                return e.raw.CustomColumnNumber > 0 && e.raw.CustomColumnData ? e.raw.CustomColumnData[0] : "";
        return "<no item>";
    }
    // What FAR's search for plugins finds in a folder: "*.dll", long or short names.
    static int dllsFound(const std::string& folder) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((folder + "\\*.dll").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return 0;
        int n = 0;
        do ++n;
        while (FindNextFileA(find, &entry));
        FindClose(find);
        return n;
    }
};

TEST_F(SwitchOffTest, OffFarNeitherLoadsNorListsItOnItComesBack) {
    for (const FarBuild& build : FAR_BUILDS) {
        for (bool warm : {false, true}) {
            SCOPED_TRACE(std::string(build.name) + (warm ? ", not loaded" : ", loaded"));
            addFixture("calllogall", "Zeta\\");
            ASSERT_TRUE(copyFile(fixtureDir("recorder") + "recorder.dll", pluginsDir() + "Zeta\\second plugin.dll"));
            ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\settings.ini", "kept"));
            openList(build, warm);
            ASSERT_EQ(!warm, moduleLoaded(dll()));
            const std::string described = description("Zeta");

            std::vector<std::string> told = press("Zeta", VK_F5, PKF_ALT, {0});
            ASSERT_TRUE(contains(told, text(MAskSwitchOff)));
            EXPECT_FALSE(moduleLoaded(dll()));
            EXPECT_TRUE(fileExists(dll() + ".off"));
            EXPECT_TRUE(fileExists(pluginsDir() + "Zeta\\second plugin.dll.off")) << "every plugin DLL of its folder";
            EXPECT_EQ(0, dllsFound(pluginsDir() + "Zeta")) << "by its long name or its short one";
            EXPECT_EQ("kept", readFile(pluginsDir() + "Zeta\\settings.ini"));
            EXPECT_FALSE(contains(host->diskMenu(), "Call logger"));
            EXPECT_EQ(farhost::kWorkDontLoadAgain, host->findPlugin("calllogall.dll")->record()->workFlags);
            EXPECT_EQ("o", mark("Zeta"));
            EXPECT_EQ(described, description("Zeta")) << "the list still describes it as it did";

            // Switched on in the same session: FAR loads it at its next use.
            told = press("Zeta", VK_F5, PKF_ALT, {0, 0});
            ASSERT_TRUE(contains(told, text(MAskSwitchOn)));
            EXPECT_TRUE(contains(told, text(MSwitchedOnNextUse)));
            EXPECT_TRUE(fileExists(dll()));
            EXPECT_TRUE(contains(host->diskMenu(), "Call logger"));
            farhost::Panel* opened = host->findPlugin("calllogall.dll")->open(OPEN_DISKMENU, 0);
            ASSERT_NE(nullptr, opened) << "loaded from its DLL again";
            opened->close();
            EXPECT_TRUE(host->faults.empty()) << host->faults.front();

            // Off, then a restart: FAR does not know it, and switched on it comes at the next start.
            told = press("Zeta", VK_F5, PKF_ALT, {0});
            ASSERT_TRUE(contains(told, text(MAskSwitchOff))) << testing::PrintToString(told);
            ASSERT_TRUE(fileExists(dll() + ".off")) << testing::PrintToString(told);
            host.reset();
            openList(build, false);
            EXPECT_EQ(nullptr, host->findPlugin("calllogall.dll"));
            EXPECT_FALSE(moduleLoaded(dll()));
            told = press("Zeta", VK_F5, PKF_ALT, {0, 0});
            EXPECT_TRUE(contains(told, text(MSwitchedOnRestart)));
            EXPECT_TRUE(fileExists(dll()));
            host.reset();
            removeTree(pluginsDir());
        }
    }
}

// A new build dropped over a plugin that is switched off updates it and
// keeps it off; the question says so.
TEST_F(SwitchOffTest, AnUpdateOfASwitchedOffPluginKeepsItOff) {
    addFixture("calllogall", "Zeta\\");
    ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", dir / "Downloads\\calllogall.dll"));
    openList(FAR_BUILDS[0], false);
    press("Zeta", VK_F5, PKF_ALT, {0});
    host->clearTranscript();
    host->answerMessages({1});
    EXPECT_EQ(1, panel->putFiles(dir / "Downloads\\", {"calllogall.dll"}).result);
    ASSERT_FALSE(host->messages.empty());
    EXPECT_TRUE(contains(host->messages[0].lines, text(MUpdateStaysOff)));
    // The closing box says it stays off, and asks for no restart to load it.
    const farhost::MessageCall* closing = nullptr;
    for (const auto& m : host->messages)
        if (contains(m.lines, text(MInstalledPlugin))) closing = &m;
    ASSERT_NE(nullptr, closing);
    EXPECT_TRUE(contains(closing->lines, text(MUpdateStaysOff))) << testing::PrintToString(closing->lines);
    EXPECT_FALSE(contains(closing->lines, text(MInstallRestartOne)));
    EXPECT_FALSE(fileExists(dll()));
    EXPECT_EQ(readFile(fixtureDir("calllogall2") + "calllogall2.dll"), readFile(dll() + ".off"));
    EXPECT_FALSE(fileExists(pluginsDir() + "calllogall")) << "no second copy";
}
