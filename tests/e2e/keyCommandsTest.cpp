// The list panel's own keys, with plugins the host has really loaded:
// unloading, a plugin's help and configuration, clearing the host's cache.
#include "harness.h"
#include "../../src/ui/messages.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const std::string kMarkLoaded("\1\0\0\1\0\1", 6);

struct Key {
    const char* name;
    int vk;
    unsigned state;
};


}  // namespace

class KeyCommandsTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    // The host loads every plugin of the tree but those left out, as it does at start.
    void startLoaded(std::vector<std::string> leaveUnloaded = {}, const std::string& settings = "") {
        FarSetup setup;
        setup.loadAll = true;
        setup.leaveUnloaded = leaveUnloaded;
        start(setup);
        if (!settings.empty()) storeSettings(settings);
        openList();
    }
    void openList() {
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        host->clearTranscript();
    }
    // What Vantorel's ProcessKey answered for the key (the host's own
    // handling may follow when it answers 0).
    int press(int vk, unsigned state) {
        panel->key(vk, state);
        // The plain call of this key: not the preprocessing one, nor the host's idle key after it.
        for (auto it = host->transcript.rbegin(); it != host->transcript.rend(); ++it)
            if (it->compare(0, 13, "> ProcessKey(") == 0 && it->find("PKF_PREPROCESS|") == std::string::npos &&
                it->find("(0x1001)") == std::string::npos)
                return atoi(it->c_str() + it->rfind('=') + 1);
        ADD_FAILURE() << "ProcessKey was not called";
        return -1;
    }
    void selectFolder(const std::string& folder) { selectItem(pluginsDir() + folder); }
    void selectItem(const std::string& name) {
        const auto& items = panel->items();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].name == name) return panel->setCurrent(static_cast<int>(i));
        ADD_FAILURE() << "no item " << name;
    }
    const farhost::PanelEntry* item(const std::string& folder) const {
        for (const auto& e : panel->items())
            if (e.name == pluginsDir() + folder) return &e;
        return nullptr;
    }
    // Message ids are shown as texts: the second line of each box.
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& m : host->messages) out.push_back(m.lines.size() > 1 ? m.lines[1] : "");
        return out;
    }
    bool transcriptHas(const std::string& prefix) const {
        for (const auto& line : host->transcript)
            if (line.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
};

// The list's own commands on the keys that would have the host delete or
// rename plugin folders, in both hosts' codes (FAR 1.75 hands a Delete
// without the enhanced flag over as 0x109); in a plugin's folder every key is
// the host's again. FAR's other file keys: listFileKeysTest.cpp.
TEST_F(KeyCommandsTest, TheListTakesEveryKeyThatWouldTouchPluginFoldersAndBrowseModeNone) {
  // Each host as it sends its keys: FAR 1.70 hands every Delete over as VK_DELETE.
  for (const FarBuild& build : FAR_BUILDS) {
    SCOPED_TRACE(build.name);
    addFixture("recorder", "Rec\\");
    FarSetup setup;
    setup.far175 = build.far175;
    start(setup);
    openList();
    selectFolder("Rec");
    const int kNumDel = 0x109;
    // The first line of the first box each key shows ("" for none); answers decline.
    const struct { Key key; int handled; int firstBox; } table[] = {
        {{"ShiftDel", VK_DELETE, PKF_SHIFT}, 1, MNotLoaded},
        {{"ShiftNumDel", kNumDel, PKF_SHIFT}, 1, MNotLoaded},
        {{"ShiftF8", VK_F8, PKF_SHIFT}, 1, MNotLoaded},
        {{"Del", VK_DELETE, 0}, 1, MAskUninstall},
        {{"NumDel", kNumDel, 0}, 1, MAskUninstall},
        {{"F8", VK_F8, 0}, 1, MAskUninstall},
        {{"ShiftF6", VK_F6, PKF_SHIFT}, 1, MReloadNotUnloaded},
        {{"CtrlShiftDel", VK_DELETE, PKF_SHIFT | PKF_CONTROL}, 0, -1},
        {{"CtrlShiftNumDel", kNumDel, PKF_SHIFT | PKF_CONTROL}, 0, -1},
        {{"AltShiftF8", VK_F8, PKF_SHIFT | PKF_ALT}, 0, -1},
        {{"CtrlF4", VK_F4, PKF_CONTROL}, 0, -1},
        {{"F1", VK_F1, 0}, 0, -1},
        {{"F5", VK_F5, 0}, 0, -1},
        {{"CtrlShiftF7", VK_F7, PKF_SHIFT | PKF_CONTROL}, 0, -1},
        {{"ShiftF2", VK_F2, PKF_SHIFT}, 0, -1},
        {{"AltF3", VK_F3, PKF_ALT}, 0, -1},
    };
    for (const auto& row : table) {
        host->clearTranscript();
        host->answerMessages({1, 1});
        EXPECT_EQ(row.handled, press(row.key.vk, row.key.state)) << row.key.name;
        std::vector<std::string> shown = boxTexts();
        EXPECT_EQ(row.firstBox < 0 ? "" : text(row.firstBox), shown.empty() ? "" : shown[0]) << row.key.name;
    }
    EXPECT_TRUE(fileExists(pluginsDir() + "Rec\\recorder.dll")) << "a declined uninstall removed the plugin";

    ASSERT_TRUE(panel->enter());   // browse the plugin's folder
    for (const auto& row : table) {
        // F7 makes the folder in the browsed folder itself (its own test).
        if (row.key.vk == VK_F7 && row.key.state == 0) continue;
        host->clearTranscript();
        EXPECT_EQ(0, press(row.key.vk, row.key.state)) << "browse mode " << row.key.name;
        EXPECT_TRUE(host->messages.empty() && host->helps.empty()) << row.key.name;
    }
    for (const std::string& line : readLog("Rec\\recorder.dll")) EXPECT_NE(0u, line.find("Configure")) << line;
    host.reset();
    removeTree(pluginsDir());
  }
}

TEST_F(KeyCommandsTest, ThePluginCommandsCountAsHandledWithoutACurrentItem) {
    // Vantorel installed outside any plugins folder: the list is empty.
    FarSetup setup;
    setup.vantorelFolder = "Managers\\Vantorel\\";
    start(setup);
    openList();
    ASSERT_TRUE(panel->items().empty());
    for (const Key& k : {Key{"ShiftDel", VK_DELETE, PKF_SHIFT}, Key{"ShiftF8", VK_F8, PKF_SHIFT},
                         Key{"ShiftF1", VK_F1, PKF_SHIFT}, Key{"F4", VK_F4, 0}}) {
        host->clearTranscript();
        EXPECT_EQ(1, press(k.vk, k.state)) << k.name;
        EXPECT_TRUE(host->messages.empty() && host->helps.empty()) << k.name;
    }
}

TEST_F(KeyCommandsTest, UnloadingAPluginTheHostHasNotLoadedOnlySaysSo) {
    addFixture("recorder", "Rec\\");
    startLoaded({"recorder.dll"});
    for (const Key& k : {Key{"ShiftDel", VK_DELETE, PKF_SHIFT}, Key{"ShiftF8", VK_F8, PKF_SHIFT}}) {
        selectFolder("Rec");
        host->clearTranscript();
        EXPECT_EQ(1, press(k.vk, k.state)) << k.name;
        ASSERT_EQ(1u, host->messages.size()) << k.name;
        EXPECT_EQ(text(MNotLoaded), host->messages[0].lines.at(1));
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_OK), host->messages[0].flags);
        EXPECT_FALSE(transcriptHas("SaveScreen"));
    }
}

TEST_F(KeyCommandsTest, DecliningTheUnloadQuestionLeavesThePluginLoadedAndThePanelAlone) {
    addFixture("recorder", "Rec\\");
    startLoaded();
    selectFolder("Rec");
    for (int answer : {1, -1}) {   // No, Esc
        host->clearTranscript();
        host->answerMessages({answer});
        EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
        ASSERT_EQ(1u, host->messages.size()) << answer;
        const farhost::MessageCall& q = host->messages[0];
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), q.flags);
        // The question names the plugin: its folder and its DLL.
        ASSERT_EQ(5u, q.lines.size());
        EXPECT_EQ(text(MAskUnload1), q.lines[1]);
        EXPECT_EQ("Rec", q.lines[2].substr(q.lines[2].size() - 3));
        EXPECT_EQ("recorder.dll", q.lines[3]);
        // FAR 1.70 build 2087's records are known: the plugin can come back with Shift+F6.
        EXPECT_EQ(text(MUnloadBackWithReload), q.lines[4]);
        EXPECT_TRUE(moduleLoaded(pluginsDir() + "Rec\\recorder.dll"));
        EXPECT_FALSE(transcriptHas("Control(FCTL_UPDATEPANEL"));
        EXPECT_FALSE(transcriptHas("SaveScreen"));
    }
}

TEST_F(KeyCommandsTest, AConfirmedUnloadReleasesTheModuleAndTheRebuiltPanelDropsItsMark) {
    addFixture("recorder", "RecA\\");
    addFixture("hexview", "HexView\\");
    startLoaded({}, kMarkLoaded);
    const struct { const char* folder; const char* dll; Key key; } cases[] = {
        {"RecA", "RecA\\recorder.dll", {"ShiftDel", VK_DELETE, PKF_SHIFT}},
        {"HexView", "HexView\\hexview.dll", {"ShiftF8", VK_F8, PKF_SHIFT}},
    };
    for (const auto& c : cases) {
        std::string dll = pluginsDir() + c.dll;
        ASSERT_TRUE(moduleLoaded(dll)) << dll;
        selectFolder(c.folder);
        ASSERT_EQ(0x14u, item(c.folder)->raw.FindData.dwFileAttributes);
        host->clearTranscript();
        EXPECT_EQ(1, press(c.key.vk, c.key.state));

        ASSERT_EQ(2u, host->messages.size()) << c.key.name;
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), host->messages[0].flags);
        const farhost::MessageCall& notice = host->messages[1];
        EXPECT_EQ(0u, notice.flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(MUnloading)}), notice.lines);
        EXPECT_TRUE(notice.buttons.empty());
        EXPECT_TRUE(transcriptHas("SaveScreen(0,0,-1,-1)"));
        EXPECT_EQ(host->savedScreens(), host->restoredScreens());
        EXPECT_TRUE(transcriptHas("Control(FCTL_UPDATEPANEL"));
        EXPECT_TRUE(transcriptHas("Control(FCTL_REDRAWPANEL"));

        EXPECT_FALSE(moduleLoaded(dll)) << c.key.name;
        EXPECT_EQ(0x10u, item(c.folder)->raw.FindData.dwFileAttributes) << "the mark is gone";
        // Released for real: the file can go.
        EXPECT_TRUE(DeleteFileA(dll.c_str())) << GetLastError();
    }
}

// The host keeps calling a plugin it loaded through the addresses it took:
// after an unload it must call nothing of it, in menus, events and at quit,
// and a plugin whose panel is open is not unloaded at all.
TEST_F(KeyCommandsTest, AfterAnUnloadTheHostNeverCallsIntoTheReleasedModule) {
    addFixture("recorder", "Rec\\");
    addFixture("panel", "Panel\\");
    startLoaded();
    farhost::Plugin* panelPlugin = host->findPlugin("panel.dll");
    ASSERT_NE(nullptr, panelPlugin);

    // A foreign panel in the other half: its owner cannot be told, so nothing is unloaded.
    ASSERT_NE(nullptr, host->openOtherPanel(panelPlugin));
    selectFolder("Panel");
    host->clearTranscript();
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    EXPECT_EQ((std::vector<std::string>{text(MUnloadPanelOpen)}), boxTexts());
    EXPECT_TRUE(moduleLoaded(pluginsDir() + "Panel\\panel.dll"));
    host->otherHalf()->close();

    // Vantorel's own second panel there is no obstacle.
    ASSERT_NE(nullptr, host->openOtherPanel(vantorel));
    for (const char* folder : {"Panel", "Rec"}) {
        selectFolder(folder);
        host->clearTranscript();
        EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
        EXPECT_EQ((std::vector<std::string>{text(MAskUnload1), text(MUnloading)}), boxTexts()) << folder;
    }
    EXPECT_FALSE(moduleLoaded(pluginsDir() + "Panel\\panel.dll"));
    EXPECT_FALSE(moduleLoaded(pluginsDir() + "Rec\\recorder.dll"));

    std::vector<farhost::Plugin*> owners;
    host->pluginsMenu(&owners);
    host->diskMenu(&owners);
    host->idle();
    panel->redraw();
    EXPECT_TRUE(host->quit());
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
    for (farhost::Plugin* owner : owners) EXPECT_NE(panelPlugin, owner) << "an unloaded plugin left the menus";
}

// Whether the host has a plugin loaded is asked at the time of the command,
// not taken from the last scan.
TEST_F(KeyCommandsTest, UnloadAsksWhetherThePluginIsLoadedNow) {
    addFixture("recorder", "Rec\\");
    startLoaded({"recorder.dll"});
    selectFolder("Rec");
    ASSERT_NE(nullptr, host->load(pluginsDir() + "Rec\\recorder.dll"));
    host->clearTranscript();
    host->answerMessages({1});
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    EXPECT_EQ((std::vector<std::string>{text(MAskUnload1)}), boxTexts()) << "asked, not told it is not loaded";
}

TEST_F(KeyCommandsTest, VantorelRefusesToUnloadItself) {
    startLoaded();
    selectItem(selfItem());
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(text(MCannotUnloadSelf), host->messages[0].lines.at(1));
    EXPECT_TRUE(moduleLoaded(vantorelDir() + "Vantorel.dll"));
    EXPECT_EQ(1, press(VK_F5, PKF_SHIFT));   // and goes on working
}

TEST_F(KeyCommandsTest, ConfiguringAHostLoadedPluginUsesTheHostsInstance) {
    addFixture("recorder", "Rec\\");
    startLoaded();
    selectFolder("Rec");
    size_t before = readLog("Rec\\recorder.dll").size();
    EXPECT_EQ(1, press(VK_F4, 0));
    std::vector<std::string> log = readLog("Rec\\recorder.dll");
    ASSERT_EQ(before + 2, log.size());
    EXPECT_EQ("GetPluginInfo", log[before]);
    EXPECT_EQ(0u, log[before + 1].find("Configure 0")) << log[before + 1];
    EXPECT_TRUE(moduleLoaded(pluginsDir() + "Rec\\recorder.dll"));
    EXPECT_TRUE(host->messages.empty());
}

TEST_F(KeyCommandsTest, ConfiguringAPluginNotLoadedLoadsInitialisesAndReleasesIt) {
    addFixture("recorder", "Rec\\");
    start();
    openList();
    selectFolder("Rec");
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    DeleteFileA((dll + ".log").c_str());
    EXPECT_EQ(1, press(VK_F4, 0));
    std::vector<std::string> log = readLog("Rec\\recorder.dll");
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("attach", log[0]);
    EXPECT_EQ("SetStartupInfo module=" + dll + " msg0=Call recorder msg1=Call recorder panel", log[1]);
    EXPECT_EQ("GetPluginInfo", log[2]);
    EXPECT_EQ(0u, log[3].find("Configure 0")) << log[3];
    EXPECT_NE(std::string::npos, log[3].find("Call recorder")) << "its own texts during Configure: " << log[3];
    EXPECT_EQ("detach", log[4]);
    EXPECT_FALSE(moduleLoaded(dll));
}

TEST_F(KeyCommandsTest, ConfigureFailuresAreReportedAndContained) {
    addFixture("noinfo", "NoConfig\\");
    addFixture("faultconfig", "FaultConfig\\");
    addFakeDll("Broken\\broken.dll");
    addFixture("badload", "Refuses\\");   // its DllMain refuses to load
    start();
    openList();
    // A DLL FAR cannot use says why, as F3 does; one that should load but
    // does not gets the plain message.
    const struct { const char* folder; int message; int reason; const char* dll; } cases[] = {
        {"NoConfig", MNoConfigure, 0, "NoConfig\\noinfo.dll"},
        {"Broken", MLoadFailedBecause, MUnfitNotDll, nullptr},
        {"Refuses", MLoadFailed, 0, nullptr},
        {"FaultConfig", MConfigureFailed, 0, "FaultConfig\\faultconfig.dll"},
    };
    for (const auto& c : cases) {
        selectFolder(c.folder);
        host->clearTranscript();
        EXPECT_EQ(1, press(VK_F4, 0)) << c.folder;
        ASSERT_EQ(1u, host->messages.size()) << c.folder;
        EXPECT_EQ(text(c.message), host->messages[0].lines.at(1)) << c.folder;
        if (c.reason) EXPECT_EQ(text(c.reason), host->messages[0].lines.at(2)) << c.folder;
        if (c.dll) EXPECT_FALSE(moduleLoaded(pluginsDir() + c.dll)) << "released again: " << c.folder;
    }
    EXPECT_EQ(1, press(VK_F5, PKF_SHIFT));   // the host lives on
}

TEST_F(KeyCommandsTest, HelpOpensTheDllsOwnFolder) {
    addFixture("recorder", "Rec\\");
    addFixture("binplug", "BinPlug\\");
    addFakeDll("NoHelp\\nohelp.dll");
    ASSERT_TRUE(writeFile(pluginsDir() + "Rec\\RecEng.hlf", ".Language=English,English\n@Contents\n"));
    ASSERT_TRUE(writeFile(pluginsDir() + "BinPlug\\bin\\Bin.hlf", ".Language=English,English\n@Contents\n"));
    start();
    openList();
    const struct { const char* folder; const char* helpFolder; } cases[] = {
        {"Rec", "Rec"},
        {"BinPlug", "BinPlug\\bin"},   // the bin folder itself, not the plugin folder
    };
    // Without a help file the user is told so, and no help is asked for.
    selectFolder("NoHelp");
    host->clearTranscript();
    EXPECT_EQ(1, press(VK_F1, PKF_SHIFT));
    EXPECT_EQ(0u, host->helps.size());
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(text(MNoPluginHelp), host->messages[0].lines.at(1));
    for (const auto& c : cases) {
        selectFolder(c.folder);
        host->clearTranscript();
        EXPECT_EQ(1, press(VK_F1, PKF_SHIFT));
        ASSERT_EQ(1u, host->helps.size());
        EXPECT_EQ(pluginsDir() + c.helpFolder, host->helps[0].moduleName);
        EXPECT_EQ("(none)", host->helps[0].topic);
        EXPECT_EQ(0xC0000004u, host->helps[0].flags);
    }
}

TEST_F(KeyCommandsTest, ClearingTheHostsPluginCacheDeletesWhatItCanAndSaysHowItWent) {
    start();
    openList();
    // FAR's own cache key, beside the plugins' root FAR hands out.
    const std::string cacheKey = host->pluginsCacheKey();
    auto exists = [&] {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, cacheKey.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    };
    auto create = [&](const std::string& below) {
        HKEY h;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (cacheKey + below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(h);
        return true;
    };
    std::string longName(120, 'Z');   // enumerated after Plugin0
    const struct {
        const char* what;
        std::vector<std::string> keys;   // below the cache key; empty = no cache key at all
        int answer;
        int result;                      // message id, or -1 for none
        bool gone;
    } cases[] = {
        {"no key", {}, 0, MClearCacheFailed, true},
        {"nested", {"\\Plugin0\\Exports", "\\Plugin1\\Exports\\Deeper", "\\Plugin2"}, 0, MCacheCleared, true},
        {"declined", {"\\Plugin0\\Exports"}, 1, -1, false},
        {"long name", {"\\Plugin0\\Exports", "\\" + longName}, 0, MClearCacheFailed, false},
    };
    for (const auto& c : cases) {
        SHDeleteKeyA(HKEY_CURRENT_USER, cacheKey.c_str());
        for (const std::string& k : c.keys) ASSERT_TRUE(create(k));
        host->clearTranscript();
        host->answerMessages({c.answer});
        EXPECT_EQ(1, press(VK_F7, PKF_SHIFT)) << c.what;
        ASSERT_GE(host->messages.size(), 1u) << c.what;
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), host->messages[0].flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(MAskClearCache)}), host->messages[0].lines);
        if (c.result >= 0) {
            ASSERT_EQ(2u, host->messages.size()) << c.what;
            EXPECT_EQ(text(c.result), host->messages[1].lines.at(1)) << c.what;
        } else {
            EXPECT_EQ(1u, host->messages.size()) << c.what;
        }
        EXPECT_EQ(c.gone, !exists()) << c.what;
        if (c.keys.size() == 2 && c.keys[1].size() > 100) {
            HKEY h;
            bool plugin0 = RegOpenKeyExA(HKEY_CURRENT_USER, (cacheKey + "\\Plugin0").c_str(), 0,
                                         KEY_READ, &h) == ERROR_SUCCESS;
            if (plugin0) RegCloseKey(h);
            EXPECT_FALSE(plugin0) << "what could be deleted is gone";
        }
        EXPECT_FALSE(transcriptHas("Control(FCTL_UPDATEPANEL")) << c.what;
    }
}

// A plugin ends as at the host's quit, with its ExitFAR, whenever Vantorel
// releases a module it loaded or took from the host: what the plugin loaded
// for itself goes with it. A plugin the host keeps is never ended.
TEST_F(KeyCommandsTest, ExitFarComesBeforeEveryReleaseAndNeverToThePluginTheHostKeeps) {
    const std::string dll = "Helper\\helperuser.dll";
    const struct { const char* name; bool hostLoads; Key key; bool ended; } cases[] = {
        {"scan", false, {"", 0, 0}, true},
        {"F4, not loaded", false, {"F4", VK_F4, 0}, true},
        {"scan, loaded", true, {"", 0, 0}, false},
        {"F4, loaded", true, {"F4", VK_F4, 0}, false},
        {"Shift+Del", true, {"ShiftDel", VK_DELETE, PKF_SHIFT}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addFixture("helperuser", "Helper\\");
        ASSERT_TRUE(copyFile(fixtureDir("nover") + "\\nover.dll", pluginsDir() + "Helper\\helper.fll"));
        if (c.hostLoads) {
            startLoaded();
        } else {
            start();
            openList();
        }
        selectFolder("Helper");
        if (c.key.vk) {
            removeTree(pluginsDir() + dll + ".log");
            host->answerMessages({0});
            press(c.key.vk, c.key.state);
        }
        std::vector<std::string> log = readLog(dll);
        bool ended = std::find(log.begin(), log.end(), "ExitFAR") != log.end();
        EXPECT_EQ(c.ended, ended);
        EXPECT_EQ(!c.ended, moduleLoaded(pluginsDir() + "Helper\\helper.fll")) << "the plugin's helper module";
        EXPECT_EQ(c.hostLoads && !c.ended, moduleLoaded(pluginsDir() + dll));
        if (ended) {
            EXPECT_EQ("detach", log.back()) << "ExitFAR came after the release";
        }
        panel->close();
        host.reset();
        removeTree(pluginsDir() + "Helper");
    }
}

// A scan asks only DLLs that export one of the host's entry points: no other
// DLL under the plugins folders has its start-up code run.
TEST_F(KeyCommandsTest, AScanLoadsNoDllWithoutTheHostsEntryPoints) {
    for (const char* shape : {"noexports", "unicode"}) addFixture(shape, std::string(shape) + "\\");
    addFixture("recorder", "Rec\\");
    start();
    openList();
    EXPECT_FALSE(fileExists(pluginsDir() + "noexports\\noexports.dll.log"));
    EXPECT_FALSE(fileExists(pluginsDir() + "unicode\\unicode.dll.log"));
    std::vector<std::string> log = readLog("Rec\\recorder.dll");
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "attach")) << "a plugin is loaded once a scan";
}

// Uninstalling removes the plugin's folder whole, after the host has let go
// of every DLL in it that it loaded; the question names the folder, each DLL
// with its version, and whether the host has it loaded.
TEST_F(KeyCommandsTest, UninstallRemovesTheFolderWholeAfterTheHostLetsGoOfItsDlls) {
    const struct { const char* name; bool hostLoads; Key key; } cases[] = {
        {"not loaded, Del", false, {"Del", VK_DELETE, 0}},
        {"loaded, F8", true, {"F8", VK_F8, 0}},
        {"loaded, keypad Del of FAR 1.75", true, {"NumDel", 0x109, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addFixture("recorder", "Rec\\");
        addFixture("recorder", "Rec\\Sub\\");   // a second plugin DLL in the same folder
        addFixture("nover", "Other\\");
        if (c.hostLoads) {
            startLoaded();
        } else {
            start();
            openList();
        }
        selectFolder("Rec");
        host->clearTranscript();
        host->answerMessages({0});
        EXPECT_EQ(1, press(c.key.vk, c.key.state));
        ASSERT_FALSE(host->messages.empty());
        const std::vector<std::string>& q = host->messages[0].lines;
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), host->messages[0].flags);
        std::string loaded = c.hostLoads ? ", " + text(MLoadedByFar) : "";
        std::vector<std::string> expected = {"Vantorel", text(MAskUninstall), q.size() > 2 ? q[2] : "",
                                             "recorder.dll  2.5.1" + loaded, "Sub\\recorder.dll  2.5.1" + loaded};
        if (c.hostLoads) expected.push_back(text(MUninstallUnloadsFirst));
        std::sort(expected.begin() + 3, expected.begin() + 5);
        std::vector<std::string> shown = q;
        if (shown.size() >= 5) std::sort(shown.begin() + 3, shown.begin() + 5);
        EXPECT_EQ(expected, shown);
        EXPECT_EQ(1u, host->messages.size()) << host->messages.back().lines[1];
        EXPECT_FALSE(fileExists(pluginsDir() + "Rec")) << "the folder is gone";
        EXPECT_TRUE(fileExists(pluginsDir() + "Other\\nover.dll"));
        EXPECT_FALSE(moduleLoaded(pluginsDir() + "Rec\\recorder.dll"));
        EXPECT_EQ(nullptr, item("Rec")) << "the list is rebuilt";
        EXPECT_TRUE(host->quit());
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
    }
}

// All or nothing: a file that is held open or read-only stops the uninstall
// before anything is unloaded or removed, and the box says which file and why.
// Vantorel's own folder is never uninstalled.
TEST_F(KeyCommandsTest, UninstallRemovesNothingWhenAFileIsInTheWayAndNeverItself) {
    const struct { const char* name; const char* file; bool readOnly; } cases[] = {
        {"held open", "Rec\\recEng.lng", false},
        {"read-only", "Rec\\recorder.hlf", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addFixture("recorder", "Rec\\");
        startLoaded();
        std::string path = pluginsDir() + c.file;
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.readOnly)
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        else
            held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        selectFolder("Rec");
        host->clearTranscript();
        host->answerMessages({0, 0});
        EXPECT_EQ(1, press(VK_DELETE, 0));
        ASSERT_EQ(2u, host->messages.size());
        const std::vector<std::string>& box = host->messages[1].lines;
        ASSERT_GE(box.size(), 4u);
        EXPECT_EQ(text(MNothingRemoved), box[1]);
        EXPECT_EQ(c.file + 4, box[2].substr(box[2].size() - strlen(c.file + 4)));
        EXPECT_FALSE(box[3].empty()) << "the reason";
        if (c.readOnly) {
            EXPECT_EQ(text(MReadOnlyInTheWay), box[3]) << "what to do about it";
        }
        EXPECT_TRUE(fileExists(pluginsDir() + "Rec\\recorder.dll"));
        EXPECT_TRUE(fileExists(pluginsDir() + "Rec\\recorder.hlf"));
        EXPECT_TRUE(moduleLoaded(pluginsDir() + "Rec\\recorder.dll")) << "nothing unloaded either";
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        host.reset();
        removeTree(pluginsDir());
    }
    start();
    openList();
    selectItem(selfItem());
    host->clearTranscript();
    EXPECT_EQ(1, press(VK_F8, 0));
    EXPECT_EQ((std::vector<std::string>{text(MCannotUninstallSelf)}), boxTexts());
    EXPECT_TRUE(fileExists(vantorelDir() + "Vantorel.dll"));
}
