// The list panel's own keys, with plugins the host has really loaded:
// unloading, a plugin's help and configuration, clearing the host's cache.
#include "harness.h"
#include "../../src/ui/messages.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const char kHostCache[] = "SOFTWARE\\Far\\PluginsCache";
const std::string kMarkLoaded("\1\0\0\1\0\1", 6);

struct Key {
    const char* name;
    int vk;
    unsigned state;
};

// The host's own plugin cache lives at a fixed place shared by every test:
// each test that touches it starts and ends without it.
struct HostCacheKey {
    HostCacheKey() { SHDeleteKeyA(HKEY_CURRENT_USER, kHostCache); }
    ~HostCacheKey() { SHDeleteKeyA(HKEY_CURRENT_USER, kHostCache); }
    bool exists() const {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kHostCache, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
        RegCloseKey(h);
        return true;
    }
    static bool create(const std::string& below) {
        HKEY h;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kHostCache) + below).c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(h);
        return true;
    }
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
        host->clearRecords();
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

TEST_F(KeyCommandsTest, OnlyTheTablesKeysAreHandledAndNoneInBrowseMode) {
    addFixture("recorder", "Rec\\");
    start();
    openList();
    selectFolder("Rec");
    const Key notCommands[] = {
        {"Del", VK_DELETE, 0},           {"F8", VK_F8, 0},
        {"CtrlShiftDel", VK_DELETE, PKF_SHIFT | PKF_CONTROL},
        {"AltShiftF8", VK_F8, PKF_SHIFT | PKF_ALT},
        {"ShiftF4", VK_F4, PKF_SHIFT},   {"CtrlF4", VK_F4, PKF_CONTROL},
        {"AltF4", VK_F4, PKF_ALT},       {"F1", VK_F1, 0},
        {"F7", VK_F7, 0},                {"CtrlShiftF7", VK_F7, PKF_SHIFT | PKF_CONTROL},
        {"ShiftF2", VK_F2, PKF_SHIFT},   {"ShiftF6", VK_F6, PKF_SHIFT},
        {"ShiftF3", VK_F3, PKF_SHIFT},   {"AltF3", VK_F3, PKF_ALT},
    };
    for (const Key& k : notCommands) {
        host->clearRecords();
        EXPECT_EQ(0, press(k.vk, k.state)) << k.name;
        EXPECT_TRUE(host->messages.empty()) << k.name;
    }
    ASSERT_TRUE(panel->enter());   // browse the plugin's folder
    const Key commands[] = {
        {"ShiftDel", VK_DELETE, PKF_SHIFT}, {"ShiftF8", VK_F8, PKF_SHIFT}, {"ShiftF1", VK_F1, PKF_SHIFT},
        {"F4", VK_F4, 0},                   {"ShiftF5", VK_F5, PKF_SHIFT}, {"ShiftF7", VK_F7, PKF_SHIFT},
        {"F3", VK_F3, 0},
    };
    for (const Key& k : commands) {
        host->clearRecords();
        EXPECT_EQ(0, press(k.vk, k.state)) << "browse mode " << k.name;
        EXPECT_TRUE(host->messages.empty() && host->helps.empty()) << k.name;
    }
    for (const std::string& line : readLog("Rec\\recorder.dll")) EXPECT_NE(0u, line.find("Configure")) << line;
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
        host->clearRecords();
        EXPECT_EQ(1, press(k.vk, k.state)) << k.name;
        EXPECT_TRUE(host->messages.empty() && host->helps.empty()) << k.name;
    }
}

TEST_F(KeyCommandsTest, UnloadingAPluginTheHostHasNotLoadedOnlySaysSo) {
    addFixture("recorder", "Rec\\");
    startLoaded({"recorder.dll"});
    for (const Key& k : {Key{"ShiftDel", VK_DELETE, PKF_SHIFT}, Key{"ShiftF8", VK_F8, PKF_SHIFT}}) {
        selectFolder("Rec");
        host->clearRecords();
        EXPECT_EQ(1, press(k.vk, k.state)) << k.name;
        ASSERT_EQ(1u, host->messages.size()) << k.name;
        EXPECT_EQ(text(30), host->messages[0].lines.at(1));
        EXPECT_EQ(FMSG_WARNING, host->messages[0].flags);
        EXPECT_FALSE(transcriptHas("SaveScreen"));
    }
}

TEST_F(KeyCommandsTest, DecliningTheUnloadQuestionLeavesThePluginLoadedAndThePanelAlone) {
    addFixture("recorder", "Rec\\");
    startLoaded();
    selectFolder("Rec");
    for (int answer : {1, -1}) {   // No, Esc
        host->clearRecords();
        host->answerMessages({answer});
        EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
        ASSERT_EQ(1u, host->messages.size()) << answer;
        const farhost::MessageCall& q = host->messages[0];
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), q.flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(31), text(32)}), q.lines);
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
        host->clearRecords();
        EXPECT_EQ(1, press(c.key.vk, c.key.state));

        ASSERT_EQ(2u, host->messages.size()) << c.key.name;
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), host->messages[0].flags);
        const farhost::MessageCall& notice = host->messages[1];
        EXPECT_EQ(0u, notice.flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(33)}), notice.lines);
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
    host->clearRecords();
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    EXPECT_EQ((std::vector<std::string>{text(50)}), boxTexts());
    EXPECT_TRUE(moduleLoaded(pluginsDir() + "Panel\\panel.dll"));
    host->otherHalf()->close();

    // Vantorel's own second panel there is no obstacle.
    ASSERT_NE(nullptr, host->openOtherPanel(vantorel));
    for (const char* folder : {"Panel", "Rec"}) {
        selectFolder(folder);
        host->clearRecords();
        EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
        EXPECT_EQ((std::vector<std::string>{text(31), text(33)}), boxTexts()) << folder;
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
    host->clearRecords();
    host->answerMessages({1});
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    EXPECT_EQ((std::vector<std::string>{text(31)}), boxTexts()) << "asked, not told it is not loaded";
}

TEST_F(KeyCommandsTest, VantorelRefusesToUnloadItself) {
    startLoaded();
    selectItem(selfItem());
    EXPECT_EQ(1, press(VK_DELETE, PKF_SHIFT));
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(text(47), host->messages[0].lines.at(1));
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
        {"NoConfig", 44, 0, "NoConfig\\noinfo.dll"},
        {"Broken", MLoadFailedBecause, MUnfitNotDll, nullptr},
        {"Refuses", 45, 0, nullptr},
        {"FaultConfig", 46, 0, "FaultConfig\\faultconfig.dll"},
    };
    for (const auto& c : cases) {
        selectFolder(c.folder);
        host->clearRecords();
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
    host->clearRecords();
    EXPECT_EQ(1, press(VK_F1, PKF_SHIFT));
    EXPECT_EQ(0u, host->helps.size());
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ(text(MNoPluginHelp), host->messages[0].lines.at(1));
    for (const auto& c : cases) {
        selectFolder(c.folder);
        host->clearRecords();
        EXPECT_EQ(1, press(VK_F1, PKF_SHIFT));
        ASSERT_EQ(1u, host->helps.size());
        EXPECT_EQ(pluginsDir() + c.helpFolder, host->helps[0].moduleName);
        EXPECT_EQ("(none)", host->helps[0].topic);
        EXPECT_EQ(0xC0000004u, host->helps[0].flags);
    }
}

TEST_F(KeyCommandsTest, ClearingTheHostsPluginCacheDeletesWhatItCanAndSaysHowItWent) {
    HostCacheKey cache;
    start();
    openList();
    std::string longName(120, 'Z');   // enumerated after Plugin0
    const struct {
        const char* what;
        std::vector<std::string> keys;   // below the cache key; empty = no cache key at all
        int answer;
        const char* result;              // message text id, or nullptr for none
        bool gone;
    } cases[] = {
        {"no key", {}, 0, "41", true},
        {"nested", {"\\Plugin0\\Exports", "\\Plugin1\\Exports\\Deeper", "\\Plugin2"}, 0, "18", true},
        {"declined", {"\\Plugin0\\Exports"}, 1, nullptr, false},
        {"long name", {"\\Plugin0\\Exports", "\\" + longName}, 0, "41", false},
    };
    for (const auto& c : cases) {
        SHDeleteKeyA(HKEY_CURRENT_USER, kHostCache);
        for (const std::string& k : c.keys) ASSERT_TRUE(HostCacheKey::create(k));
        host->clearRecords();
        host->answerMessages({c.answer});
        EXPECT_EQ(1, press(VK_F7, PKF_SHIFT)) << c.what;
        ASSERT_GE(host->messages.size(), 1u) << c.what;
        EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_YESNO), host->messages[0].flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(17)}), host->messages[0].lines);
        if (c.result) {
            ASSERT_EQ(2u, host->messages.size()) << c.what;
            EXPECT_EQ(text(atoi(c.result)), host->messages[1].lines.at(1)) << c.what;
        } else {
            EXPECT_EQ(1u, host->messages.size()) << c.what;
        }
        EXPECT_EQ(c.gone, !cache.exists()) << c.what;
        if (c.keys.size() == 2 && c.keys[1].size() > 100) {
            HKEY h;
            bool plugin0 = RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kHostCache) + "\\Plugin0").c_str(), 0,
                                         KEY_READ, &h) == ERROR_SUCCESS;
            if (plugin0) RegCloseKey(h);
            EXPECT_FALSE(plugin0) << "what could be deleted is gone";
        }
        EXPECT_FALSE(transcriptHas("Control(FCTL_UPDATEPANEL")) << c.what;
    }
}
