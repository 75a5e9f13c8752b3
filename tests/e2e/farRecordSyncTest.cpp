// After Vantorel changes a plugin's files, FAR's own record of the plugin
// agrees with the disk: a plugin FAR knows from its cache and has not loaded
// is re-armed from its new DLL, one that is gone is one FAR neither loads nor
// offers, and a plugin FAR has loaded is let go of with everything it loaded
// for itself before its files change, and given back when they cannot.
#include "harness.h"

using namespace testing_support;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool containsText(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

class RecordSyncTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::string downloads() const { return dir / "Downloads\\"; }

    void openList(const FarSetup& setup) {
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        host->clearTranscript();
    }
    FarSetup onHost(const FarBuild& build, bool warm) {
        FarSetup setup;
        setup.far175 = build.far175;
        setup.warm = warm;
        setup.loadAll = true;
        return setup;
    }
    farhost::PutResult drop(const std::vector<std::string>& names, std::initializer_list<int> answers) {
        host->clearTranscript();
        host->answerMessages(answers);
        return panel->putFiles(downloads(), names);
    }
    void press(int vk, unsigned state, std::initializer_list<int> answers) {
        ASSERT_TRUE(panel->setCurrentByName(folder_));
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(vk, state);
    }
    // Every line of every box the last step showed.
    std::vector<std::string> shown() const {
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    const farhost::PluginRecord* record(const std::string& dllName) { return host->findPlugin(dllName)->record(); }
    DWORD entryWord(const std::string& dllName, int index) {
        return reinterpret_cast<const DWORD*>(reinterpret_cast<const char*>(record(dllName)) + 1392)[index];
    }
    bool logHas(const std::string& rel, const std::string& part) {
        for (const std::string& line : readLog(rel))
            if (line.find(part) != std::string::npos) return true;
        return false;
    }
    void clearTree() {
        host.reset();
        removeTree(pluginsDir());
        removeTree(downloads());
    }
    std::string folder_ = "Zeta";
};

// The new build lacks OpenPlugin; FAR's record from its cache still said the
// plugin had one. At the plugin's next use FAR would call through it.
TEST_F(RecordSyncTest, APluginFarKnowsButHasNotLoadedIsReArmedFromItsNewBuild) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        addFixture("calllogall", "Zeta\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall3") + "calllogall3.dll", downloads() + "calllogall.dll"));
        openList(onHost(build, true));
        ASSERT_TRUE(host->findPlugin("calllogall.dll")->known());
        ASSERT_EQ(1u, entryWord("calllogall.dll", 1)) << "OpenPlugin, as the cache says";

        EXPECT_EQ(1, drop({"calllogall.dll"}, {1}).result);   // Cancel first: Install is the second button
        EXPECT_TRUE(contains(shown(), text(MUpdatedInPlace1))) << "FAR uses the new build at its next use";
        EXPECT_FALSE(contains(shown(), text(MInstallRestartOne)));
        EXPECT_EQ(1u, record("calllogall.dll")->workFlags) << "known, not loaded";
        EXPECT_EQ(0u, entryWord("calllogall.dll", 1)) << "OpenPlugin: the new build has none";
        EXPECT_EQ(1u, entryWord("calllogall.dll", 2)) << "OpenFilePlugin: it has one";

        DeleteFileA((pluginsDir() + "Zeta\\calllogall.dll.log").c_str());
        farhost::Plugin* plugin = host->findPlugin("calllogall.dll");
        EXPECT_EQ(nullptr, plugin->open(OPEN_DISKMENU, 0));
        host->configMenu();
        host->editorEvent(1);
        EXPECT_TRUE(logHas("Zeta\\calllogall.dll", "build=3")) << "the host loaded the new build";
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        clearTree();
    }
}

// F8 on a plugin FAR knows from its cache and has not loaded: FAR must
// neither try to load the DLL that is gone nor offer its menu items.
TEST_F(RecordSyncTest, AnUninstalledPluginIsOneFarNeitherLoadsNorOffers) {
    for (const FarBuild& build : FAR_BUILDS) {
        for (bool warm : {true, false}) {
            SCOPED_TRACE(std::string(build.name) + (warm ? ", known from the cache" : ", loaded"));
            addFixture("calllogall", "Zeta\\");
            ASSERT_TRUE(writeFile(dir / "data.txt", "CALLLOG data"));
            openList(onHost(build, warm));
            ASSERT_TRUE(contains(host->diskMenu(), "Call logger"));
            press(VK_F8, 0, {0});
            ASSERT_FALSE(GetFileAttributesA((pluginsDir() + "Zeta").c_str()) != INVALID_FILE_ATTRIBUTES);

            host->clearTranscript();
            EXPECT_EQ(nullptr, host->openFilePlugin(dir / "data.txt"));
            EXPECT_FALSE(contains(host->diskMenu(), "Call logger"));
            EXPECT_FALSE(contains(host->pluginsMenu(), "Call logger"));
            EXPECT_FALSE(contains(host->configMenu(), "Call logger"));
            host->editorEvent(1);
            // FAR's plugin cache cleared: FAR loads every plugin it knows at the next menu.
            SHDeleteKeyA(HKEY_CURRENT_USER, host->pluginsCacheKey().c_str());
            host->diskMenu();
            EXPECT_FALSE(containsText(shown(), "Error loading plugin module"));
            EXPECT_TRUE(host->faults.empty()) << host->faults.front();
            clearTree();
        }
    }
}

// MultiArc's format modules and the like have no record of FAR's: they go
// with the plugin's ExitFAR, and what ExitFAR writes into the plugin's
// folder is in the new folder afterwards.
TEST_F(RecordSyncTest, ALoadedPluginWithAHelperModuleIsUpdatedInPlaceKeepingWhatItsExitWrote) {
    for (const FarBuild& build : FAR_BUILDS) {
        for (const char* dropped : {"helperuser.dll", "Helper"}) {
            SCOPED_TRACE(std::string(build.name) + ", dropped " + dropped);
            addFixture("helperuser", "Helper\\");
            ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", pluginsDir() + "Helper\\helper.fll"));
            ASSERT_TRUE(writeFile(pluginsDir() + "Helper\\settings.ini", "kept"));
            ASSERT_TRUE(copyFile(fixtureDir("helperuser") + "helperuser.dll", downloads() + "helperuser.dll"));
            ASSERT_TRUE(copyFile(fixtureDir("helperuser") + "helperuser.dll", downloads() + "Helper\\helperuser.dll"));
            openList(onHost(build, false));
            ASSERT_TRUE(moduleLoaded(pluginsDir() + "Helper\\helper.fll"));

            EXPECT_EQ(1, drop({dropped}, {1}).result);
            EXPECT_TRUE(contains(shown(), text(MUpdatedInPlace1)));
            EXPECT_FALSE(moduleLoaded(pluginsDir() + "Helper\\helper.fll"));
            EXPECT_FALSE(moduleLoaded(pluginsDir() + "Helper\\helperuser.dll"));
            EXPECT_EQ(1u, record("helperuser.dll")->workFlags) << "FAR loads the new build at its next use";
            std::vector<std::string> log = readLog("Helper\\helperuser.dll");
            ASSERT_GE(log.size(), 2u);
            EXPECT_EQ((std::vector<std::string>{"ExitFAR", "detach"}), std::vector<std::string>(log.end() - 2, log.end()))
                << "the old build's last words are in the new folder";
            EXPECT_EQ("kept", readFile(pluginsDir() + "Helper\\settings.ini"));
            EXPECT_TRUE(host->faults.empty()) << host->faults.front();
            clearTree();
        }
    }
}

// A plugin that keeps itself loaded cannot have its files changed: nothing
// is removed or replaced, and FAR gets the plugin back.
TEST_F(RecordSyncTest, APluginThatKeepsItselfLoadedIsReportedAndGivenBack) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        // It stays loaded in this process for good: a folder of its own in each host.
        folder_ = build.far175 ? "Keeper175" : "Keeper170";
        addFixture("keeper", folder_ + "\\");
        ASSERT_TRUE(copyFile(fixtureDir("keeper") + "keeper.dll", downloads() + "keeper.dll"));
        ASSERT_TRUE(writeFile(downloads() + "new.txt", "new"));
        openList(onHost(build, false));
        std::string dll = pluginsDir() + folder_ + "\\keeper.dll";
        ASSERT_TRUE(moduleLoaded(dll));

        press(VK_F8, 0, {0});
        EXPECT_TRUE(contains(shown(), text(MNothingRemoved)));
        EXPECT_TRUE(contains(shown(), text(MModuleStaysLoaded)));
        EXPECT_TRUE(fileExists(dll));
        EXPECT_EQ(1u, record("keeper.dll")->workFlags) << "given back to FAR";

        EXPECT_EQ(0, drop({"keeper.dll", "new.txt"}, {1}).result);
        EXPECT_TRUE(containsText(shown(), text(MModuleStaysLoaded))) << testing::PrintToString(shown());
        EXPECT_FALSE(fileExists(pluginsDir() + folder_ + "\\new.txt"));
        EXPECT_EQ(1u, record("keeper.dll")->workFlags);
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(downloads());
        ASSERT_TRUE(MoveFileA((pluginsDir() + folder_).c_str(), (dir / folder_).c_str()));
    }
}

// A loaded plugin dropped from a plugin's panel: that panel may be its own,
// so the question says at once that it cannot be, and what to do.
TEST_F(RecordSyncTest, ALoadedPluginDroppedFromAPluginPanelIsRefusedInTheQuestion) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        addFixture("calllogall", "Zeta\\");
        addFixture("panel", "Alpha\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", downloads() + "calllogall.dll"));
        openList(onHost(build, false));
        ASSERT_NE(nullptr, host->openOtherPanel(host->findPlugin("panel.dll")));

        EXPECT_EQ(0, drop({"calllogall.dll"}, {0}).result);
        ASSERT_FALSE(host->messages.empty());
        const farhost::MessageCall& question = host->messages.front();
        EXPECT_TRUE(contains(question.lines, text(MFromPluginPanel1)));
        EXPECT_TRUE(contains(question.lines, text(MFromPluginPanel2)));
        EXPECT_EQ(1u, question.buttons.size()) << "only Cancel";
        EXPECT_TRUE(moduleLoaded(pluginsDir() + "Zeta\\calllogall.dll"));
        clearTree();
    }
}

// The swap fails after FAR let go of the plugin (its folder is held open
// without leave to move it): the old build stays, and FAR gets it back and
// loads it at its next use.
TEST_F(RecordSyncTest, AFailedSwapGivesFarBackThePluginItHad) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        addFixture("calllogall", "Zeta\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", downloads() + "calllogall.dll"));
        openList(onHost(build, false));
        std::string dll = pluginsDir() + "Zeta\\calllogall.dll";
        ASSERT_TRUE(moduleLoaded(dll));
        HANDLE folder = CreateFileA((pluginsDir() + "Zeta").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, folder);

        EXPECT_EQ(0, drop({"calllogall.dll"}, {1}).result);
        CloseHandle(folder);
        EXPECT_TRUE(contains(shown(), text(MInstallNothing)));
        EXPECT_EQ(readFile(fixtureDir("calllogall") + "calllogall.dll"), readFile(dll)) << "the old build stays";
        EXPECT_FALSE(moduleLoaded(dll)) << "let go of for the swap";
        EXPECT_EQ(1u, record("calllogall.dll")->workFlags) << "and given back to FAR";
        DeleteFileA((dll + ".log").c_str());
        ASSERT_NE(nullptr, host->findPlugin("calllogall.dll")->open(OPEN_DISKMENU, 0));
        EXPECT_TRUE(logHas("Zeta\\calllogall.dll", "build=1"));
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        clearTree();
    }
}

// Where FAR's records are unknown nothing is written by layout: the boxes
// say what FAR does until it restarts.
TEST_F(RecordSyncTest, OnAnUnknownFarBuildTheBoxesSayWhatFarDoesUntilItRestarts) {
    addFixture("calllogall", "Zeta\\");
    addFixture("recorder", "Rec\\");
    ASSERT_TRUE(copyFile(fixtureDir("calllogall3") + "calllogall3.dll", downloads() + "calllogall.dll"));
    FarSetup setup = onHost(FAR_BUILDS[0], true);
    setup.otherBuild = 2086;
    openList(setup);
    ASSERT_TRUE(host->findPlugin("calllogall.dll")->known());

    EXPECT_EQ(1, drop({"calllogall.dll"}, {1}).result);
    EXPECT_TRUE(contains(shown(), text(MRestartBeforeUse)));
    EXPECT_FALSE(contains(shown(), text(MUpdatedInPlace1)));
    EXPECT_EQ(1u, entryWord("calllogall.dll", 1)) << "the record is left as FAR wrote it";

    folder_ = "Rec";
    press(VK_F8, 0, {0});
    EXPECT_FALSE(fileExists(pluginsDir() + "Rec\\recorder.dll"));
    EXPECT_TRUE(contains(shown(), text(MUninstalledRestart)));
}

// An uninstalled plugin's slot leaves FAR's plugin cache at once, the later
// slots moving down as FAR moves them: else FAR, at a start that caches a
// plugin afresh, moves them after it gave each plugin its slot number, and
// the last plugins find none and are missing from its menus.
TEST_F(RecordSyncTest, AnUninstalledPluginsCacheSlotGoesAndTheLaterPluginsKeepTheirMenus) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        // Slots follow the DLLs' names: nover, recorder, Vantorel, zz (the call logger).
        addFixture("recorder", "Aaa\\");
        addFixture("nover", "Bbb\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall") + "calllogall.dll", pluginsDir() + "Zz\\zz.dll"));
        openList(onHost(build, true));
        ASSERT_TRUE(host->findPlugin("zz.dll")->known());
        for (const char* gone : {"Aaa", "Bbb"}) {
            folder_ = gone;
            press(VK_F8, 0, {0});
            ASSERT_FALSE(fileExists(pluginsDir() + gone));
        }
        EXPECT_TRUE(contains(host->diskMenu(), "Call logger")) << "in this session";
        // A new plugin: the next start caches it afresh, and FAR drops the slots of DLLs that are gone.
        addFixture("hexview", "Newbie\\");
        restart();
        ASSERT_TRUE(host->findPlugin("zz.dll")->known());
        EXPECT_TRUE(contains(host->diskMenu(), "Call logger")) << "after a restart";
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        clearTree();
        folder_ = "Zeta";
    }
}
