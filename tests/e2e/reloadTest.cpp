// Unload, replace the DLL, Shift+F6: the host's record of the plugin is put
// back into the state of a plugin known from the host's cache and not loaded,
// and the host loads the DLL on disk at the plugin's next use.
#include "harness.h"

#include <shlwapi.h>

using namespace testing_support;

class ReloadTest : public HostTest {
public:
    farhost::Panel* panel = nullptr;
    const std::string dll = "Zeta\\calllogall.dll";

    void startWithCallLogger(bool far175 = false) {
        addFixture("calllogall", "Zeta\\");
        FarSetup setup;
        setup.loadAll = true;
        setup.far175 = far175;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        ASSERT_TRUE(panel->setCurrentByName("Zeta"));
    }
    // Vantorel's ProcessKey answer, the boxes' second lines, in order.
    std::vector<std::string> pressAnswering(int vk, unsigned state, std::initializer_list<int> answers) {
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(vk, state);
        std::vector<std::string> out;
        for (const auto& m : host->messages) out.push_back(m.lines.size() > 1 ? m.lines[1] : "");
        return out;
    }
    void unload() {
        ASSERT_EQ((std::vector<std::string>{text(MAskUnload1), text(MUnloading)}),
                  pressAnswering(VK_DELETE, PKF_SHIFT, {0}));
        ASSERT_FALSE(GetModuleHandleA((pluginsDir() + dll).c_str()));
    }
    void replaceWith(const std::string& fixture, const std::string& file) {
        ASSERT_TRUE(CopyFileA((fixtureDir(fixture) + "\\" + file).c_str(), (pluginsDir() + dll).c_str(), FALSE));
    }
    const farhost::PluginRecord* record() { return host->findPlugin("calllogall.dll")->record(); }
    DWORD entryWord(int index) {
        return reinterpret_cast<const DWORD*>(reinterpret_cast<const char*>(record()) + 1392)[index];
    }
    // The list's mark column for the plugin: "-" while Vantorel holds it unloaded.
    std::string mark() {
        for (const auto& e : panel->items())
            if (e.name == pluginsDir() + "Zeta")
                return e.raw.CustomColumnNumber > 0 && e.raw.CustomColumnData ? e.raw.CustomColumnData[0] : "";
        return "<no item>";
    }
    std::string cacheSlotKey() {
        for (int i = 0; i < 64; ++i) {
            std::string key = host->pluginsCacheKey() + "\\Plugin" + std::to_string(i);
            char name[MAX_PATH] = {};
            DWORD size = sizeof name - 1;
            if (SHGetValueA(HKEY_CURRENT_USER, key.c_str(), "Name", nullptr, name, &size) != ERROR_SUCCESS) break;
            if (pluginsDir() + dll == name) return key;
        }
        return "";
    }
};

// The way back: the second build is the one the host loads at the next use.
TEST_F(ReloadTest, AReplacedDllIsWhatTheHostLoadsAtThePluginsNextUse) {
  for (const FarBuild& build : FAR_BUILDS) {
    SCOPED_TRACE(build.name);
    startWithCallLogger(build.far175);
    unload();
    EXPECT_EQ("-", mark()) << "the list shows the plugin unloaded, with marking off";
    replaceWith("calllogall2", "calllogall2.dll");
    DeleteFileA((pluginsDir() + dll + ".log").c_str());
    std::vector<std::string> boxes = pressAnswering(VK_F6, PKF_SHIFT, {0});
    ASSERT_FALSE(boxes.empty());
    ASSERT_EQ(text(MAskReload), boxes[0]);   // then the scan's progress: the DLL changed
    EXPECT_EQ(1u, record()->workFlags) << "known, not loaded";
    EXPECT_EQ(nullptr, record()->module);
    EXPECT_FALSE(GetModuleHandleA((pluginsDir() + dll).c_str())) << "the host loads it, not Vantorel";
    EXPECT_EQ("", mark());

    farhost::Plugin* plugin = host->findPlugin("calllogall.dll");
    ASSERT_NE(nullptr, plugin->open(OPEN_DISKMENU, 0));
    std::vector<std::string> log = readLog(dll);
    ASSERT_FALSE(log.empty());
    bool secondBuild = false;
    for (const std::string& line : log) secondBuild |= line.find("SetStartupInfo") != std::string::npos &&
                                                       line.find("build=2") != std::string::npos;
    EXPECT_TRUE(secondBuild) << log[0];
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
    EXPECT_TRUE(host->quit());
    host.reset();
    removeTree(pluginsDir() + "Zeta");
  }
}

// The entry points the host may start a plugin through are flags that must
// follow the file on disk: the host calls through them without asking again.
TEST_F(ReloadTest, TheStartingEntryFlagsFollowTheNewDll) {
    const struct {
        const char* fixture;
        DWORD openPlugin, openFilePlugin, editorEvent;
    } builds[] = {
        {"recorder", 0, 0, 0},      // no OpenPlugin, no OpenFilePlugin, no editor events
        {"calllogall3", 0, 1, 1},   // the call logger without OpenPlugin
    };
    for (const FarBuild& build : FAR_BUILDS) {
        for (const auto& b : builds) {
            SCOPED_TRACE(std::string(build.name) + ", " + b.fixture);
            startWithCallLogger(build.far175);
            unload();
            // What the old build's language file gave FAR: its table and the file's name.
            char* held = reinterpret_cast<char*>(const_cast<farhost::PluginRecord*>(record()));
            memset(held + 592, 0x5A, 16);
            memcpy(held + 608, "CallEng.lng", 12);
            replaceWith(b.fixture, std::string(b.fixture) + ".dll");
            ASSERT_EQ(text(MAskReload), pressAnswering(VK_F6, PKF_SHIFT, {0}).at(0));
            const struct { int entry; DWORD word; } words[] = {
                {0, 0},  // SetStartupInfo: an address only once loaded
                {1, b.openPlugin},
                {2, b.openFilePlugin},
                {16, 0}, // SetFindList
                {17, 0}, // Configure: no flag, whatever the file exports
                {21, b.editorEvent},
            };
            for (const auto& w : words) EXPECT_EQ(w.word, entryWord(w.entry)) << "entry " << w.entry;
            // The old build's messages are gone: FAR reads the new build's language file.
            const char* raw = reinterpret_cast<const char*>(record());
            EXPECT_EQ(std::string(16, '\0'), std::string(raw + 592, 16)) << "message table";
            EXPECT_EQ(0, raw[608]) << "language file name";
            host->configMenu();
            host->editorEvent(1);
            EXPECT_TRUE(host->faults.empty()) << host->faults.front();
            host.reset();
            removeTree(pluginsDir() + "Zeta");
        }
    }
}

// Shift+F6 refuses, with its reason, whatever cannot be put back for certain.
TEST_F(ReloadTest, EveryCaseThatCannotComeBackIsRefusedWithItsReason) {
    const struct {
        const char* name;
        bool unloadFirst;
        int message;
        void (*spoil)(ReloadTest*);
    } cases[] = {
        {"loaded", false, MReloadLoaded, nullptr},
        {"no cache slot", true, MReloadNoCacheSlot,
         [](ReloadTest* t) { SHDeleteValueA(HKEY_CURRENT_USER, t->cacheSlotKey().c_str(), "Name"); }},
        {"preload slot", true, MReloadNoCacheSlot,
         [](ReloadTest* t) {
             DWORD one = 1;
             SHSetValueA(HKEY_CURRENT_USER, t->cacheSlotKey().c_str(), "Preload", REG_DWORD, &one, sizeof one);
         }},
        {"no plugin on disk", true, MReloadUnfit, [](ReloadTest* t) { t->replaceWith("noexports", "noexports.dll"); }},
        {"a slot the record does not name", true, MReloadNoCacheSlot,
         [](ReloadTest* t) {
             char* raw = reinterpret_cast<char*>(const_cast<farhost::PluginRecord*>(t->record()));
             DWORD other = 7;
             memcpy(raw + 876, &other, sizeof other);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startWithCallLogger();
        if (c.unloadFirst) unload();
        if (c.spoil) c.spoil(this);
        std::vector<std::string> boxes = pressAnswering(VK_F6, PKF_SHIFT, {0});
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(text(c.message), boxes[0]);
        if (c.unloadFirst) {
            EXPECT_EQ(0u, record()->workFlags) << "the record stays as the unload left it";
        }
        panel->close();
        host.reset();
        removeTree(pluginsDir() + "Zeta");
    }
    // A plugin Vantorel never unloaded: the host loads it by itself.
    addFixture("calllogall", "Zeta\\");
    start();
    panel = vantorel->open();
    ASSERT_TRUE(panel->setCurrentByName("Zeta"));
    EXPECT_EQ((std::vector<std::string>{text(MReloadNotUnloaded)}), pressAnswering(VK_F6, PKF_SHIFT, {0}));
}

// On a FAR build whose record layout Vantorel does not know, nothing is
// written by layout: unload still works (by the record's handle and entry
// addresses) and says a restart brings the plugin back, Shift+F6 refuses, and
// installing over the loaded plugin offers only Cancel.
TEST_F(ReloadTest, AnUnknownFarBuildUnloadsButNeverWritesByLayout) {
    addFixture("calllogall", "Zeta\\");
    FarSetup setup;
    setup.loadAll = true;
    setup.otherBuild = 2086;
    start(setup);
    panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    ASSERT_TRUE(panel->setCurrentByName("Zeta"));

    const std::string downloads = dir / "Downloads\\";
    ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", downloads + "calllogall.dll"));
    host->clearTranscript();
    host->answerMessages({0});
    panel->putFiles(downloads, {"calllogall.dll"});
    ASSERT_FALSE(host->messages.empty());
    EXPECT_EQ(std::vector<std::string>{text(MBtnCancel)}, host->messages[0].buttons);
    EXPECT_NE(host->messages[0].lines.end(),
              std::find(host->messages[0].lines.begin(), host->messages[0].lines.end(), text(MLoadedNoUpdate)));
    ASSERT_TRUE(panel->setCurrentByName("Zeta"));

    host->clearTranscript();
    host->answerMessages({0});
    panel->key(VK_F8, PKF_SHIFT);
    ASSERT_FALSE(host->messages.empty());
    EXPECT_EQ(text(MAskUnload2), host->messages[0].lines.back()) << "a restart brings it back";
    EXPECT_FALSE(GetModuleHandleA((pluginsDir() + dll).c_str()));
    EXPECT_EQ((std::vector<std::string>{text(MReloadUnknownBuild)}), pressAnswering(VK_F6, PKF_SHIFT, {0}));
    EXPECT_EQ(0u, record()->workFlags) << "the record stays as the unload left it";
    host->diskMenu();
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
}
