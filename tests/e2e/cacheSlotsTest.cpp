// FAR's plugin cache after Vantorel changed a plugin's files is as FAR's
// next start expects it: at a start that writes any slot (here a plugin that
// asks to be loaded at every start) FAR deletes the slots whose DLL is gone
// after it numbered its plugins, so a DLL that left its path must have taken
// its slot with it, and FAR's records of the later plugins their new numbers.
#include "harness.h"

using namespace testing_support;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

class CacheSlotsTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    void openList(const FarBuild& build) {
        FarSetup setup;
        setup.far175 = build.far175;
        setup.warm = true;
        setup.loadAll = true;
        start(setup);
        openVantorel();
    }
    void openVantorel() {
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    std::vector<std::string> press(const std::string& item, int vk, unsigned state, std::initializer_list<int> answers) {
        EXPECT_TRUE(panel->setCurrentByName(item)) << item;
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(vk, state);
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    // FAR started again over the same tree and registry, as FAR starts: no
    // plugin loaded that its cache describes, Vantorel among them.
    void restartAsFar() {
        panel = nullptr;
        host.reset();
        farhost::HostOptions options = options_;
        options.loadAll = true;
        host.reset(new farhost::Host(options));
        vantorel = host->findPlugin("Vantorel.dll");
        ASSERT_NE(nullptr, vantorel);
    }
    std::string slotKey(int n) const { return host->pluginsCacheKey() + "\\Plugin" + std::to_string(n); }
    // The Name of every slot, in order, as FAR reads them (to the first without a Name).
    std::vector<std::string> slotNames() const {
        std::vector<std::string> names;
        for (int n = 0;; ++n) {
            char value[MAX_PATH] = {};
            DWORD size = sizeof value - 1;
            if (SHGetValueA(HKEY_CURRENT_USER, slotKey(n).c_str(), "Name", nullptr, value, &size) != ERROR_SUCCESS ||
                !value[0])
                return names;
            names.push_back(value);
        }
    }
    int slotOf(const std::string& path) const {
        std::vector<std::string> names = slotNames();
        for (size_t i = 0; i < names.size(); ++i)
            if (_stricmp(names[i].c_str(), path.c_str()) == 0) return static_cast<int>(i);
        return -1;
    }
    // The values of a slot's Exports.
    std::map<std::string, DWORD> exportsOf(int n) const {
        std::map<std::string, DWORD> values;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (slotKey(n) + "\\Exports").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return values;
        for (DWORD i = 0;; ++i) {
            char name[64];
            DWORD nameSize = sizeof name, value = 0, size = sizeof value, type = 0;
            if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS)
                break;
            values[name] = value;
        }
        RegCloseKey(key);
        return values;
    }
    // No DLL has two slots, and every plugin FAR knows from its cache names its own.
    void expectCacheAgreesWithRecords() {
        std::vector<std::string> names = slotNames();
        std::set<std::string> seen;
        for (std::string name : names) {
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            EXPECT_TRUE(seen.insert(name).second) << "twice: " << name;
        }
        for (farhost::Plugin* plugin : host->plugins()) {
            if (plugin->known()) EXPECT_EQ(slotOf(plugin->path()), plugin->record()->cachePos) << plugin->path();
        }
    }
    // The plugins of the disk menu's items, by DLL file name.
    std::set<std::string> diskMenuPlugins() {
        std::vector<farhost::Plugin*> owners;
        host->diskMenu(&owners);
        std::set<std::string> files;
        for (farhost::Plugin* owner : owners) files.insert(fileNameOf(owner->path()));
        return files;
    }
    // Opens the plugin from its disk menu item, as a person would, and closes it.
    void startFromDiskMenu(const std::string& dllName) {
        std::vector<farhost::Plugin*> owners;
        host->diskMenu(&owners);
        for (farhost::Plugin* owner : owners)
            if (fileNameOf(owner->path()) == dllName) {
                farhost::Panel* opened = owner->open(OPEN_DISKMENU, 0);
                ASSERT_NE(nullptr, opened) << dllName << " did not start";
                opened->close();
                return;
            }
        ADD_FAILURE() << dllName << " is not in the disk menu";
    }
    static std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
};

// Two plugins switched off, FAR restarted with a plugin that is loaded at
// every start: Vantorel and every other plugin are in FAR's menus and start;
// switched on and restarted, all are back.
TEST_F(CacheSlotsTest, SwitchingOffTwoPluginsLosesNoOtherAtFarsNextStart) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        // Slots in the order of the DLLs' paths: recorder, nover, hexview, preloader, Vantorel, zz.
        addFixture("recorder", "Aaa\\");
        addFixture("nover", "Bbb\\");
        addFixture("hexview", "Ccc\\");
        addFixture("preloader", "Pre\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall") + "calllogall.dll", pluginsDir() + "Zz\\zz.dll"));
        openList(build);
        ASSERT_TRUE(host->findPlugin("zz.dll")->known());
        for (const char* item : {"Aaa", "Ccc"}) press(item, VK_F5, PKF_ALT, {0});
        ASSERT_TRUE(fileExists(pluginsDir() + "Aaa\\recorder.dll.off"));
        ASSERT_TRUE(fileExists(pluginsDir() + "Ccc\\hexview.dll.off"));
        EXPECT_EQ(-1, slotOf(pluginsDir() + "Aaa\\recorder.dll")) << "its slot goes at once";
        EXPECT_EQ(-1, slotOf(pluginsDir() + "Ccc\\hexview.dll"));
        EXPECT_EQ(4u, slotNames().size());
        expectCacheAgreesWithRecords();
        EXPECT_TRUE(diskMenuPlugins().count("zz.dll")) << "in this session";

        restartAsFar();
        std::set<std::string> menu = diskMenuPlugins();
        for (const char* dll : {"nover.dll", "preloader.dll", "Vantorel.dll", "zz.dll"})
            EXPECT_TRUE(menu.count(dll)) << dll << " is missing from the disk menu after the restart";
        EXPECT_FALSE(menu.count("recorder.dll"));
        EXPECT_FALSE(menu.count("hexview.dll"));
        EXPECT_TRUE(contains(host->configMenu(), "Call logger"));
        EXPECT_TRUE(contains(host->pluginsMenu(), "Call logger"));
        startFromDiskMenu("zz.dll");
        startFromDiskMenu("Vantorel.dll");
        expectCacheAgreesWithRecords();

        openVantorel();
        for (const char* item : {"Aaa", "Ccc"}) press(item, VK_F5, PKF_ALT, {0, 0});
        ASSERT_TRUE(fileExists(pluginsDir() + "Aaa\\recorder.dll"));
        ASSERT_TRUE(fileExists(pluginsDir() + "Ccc\\hexview.dll"));
        restartAsFar();
        menu = diskMenuPlugins();
        for (const char* dll : {"recorder.dll", "nover.dll", "preloader.dll", "Vantorel.dll", "zz.dll"})
            EXPECT_TRUE(menu.count(dll)) << dll << " is missing after switching on and a restart";
        startFromDiskMenu("zz.dll");
        expectCacheAgreesWithRecords();
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        EXPECT_TRUE(host->quit());
        host.reset();
        removeTree(pluginsDir());
    }
}

// Switched on in the same session, a plugin gets back the slot it had, as
// the last one: FAR offers and starts it at once, the other plugins keep
// their slots, and the next start still finds every plugin.
TEST_F(CacheSlotsTest, SwitchedOnAgainAPluginGetsItsSlotBackAfterTheOthers) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        ASSERT_TRUE(copyFile(fixtureDir("calllogall") + "calllogall.dll", pluginsDir() + "Aaa\\aa.dll"));
        addFixture("nover", "Bbb\\");
        addFixture("preloader", "Pre\\");
        openList(build);
        const std::string dll = pluginsDir() + "Aaa\\aa.dll";
        ASSERT_EQ(0, slotOf(dll));
        const std::map<std::string, DWORD> exported = exportsOf(0);
        ASSERT_EQ(1u, exported.at("OpenPlugin"));

        press("Aaa", VK_F5, PKF_ALT, {0});
        ASSERT_EQ(-1, slotOf(dll));
        std::vector<std::string> before = slotNames();
        std::vector<std::string> told = press("Aaa", VK_F5, PKF_ALT, {0, 0});
        EXPECT_TRUE(contains(told, text(MSwitchedOnNextUse))) << testing::PrintToString(told);
        std::vector<std::string> after = slotNames();
        ASSERT_EQ(before.size() + 1, after.size());
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << "the other slots stay where they are";
        EXPECT_EQ(static_cast<int>(before.size()), slotOf(dll));
        EXPECT_EQ(exported, exportsOf(slotOf(dll)));
        ASSERT_TRUE(host->findPlugin("aa.dll")->known());
        expectCacheAgreesWithRecords();
        EXPECT_TRUE(contains(host->diskMenu(), "Call logger"));
        startFromDiskMenu("aa.dll");

        restartAsFar();
        EXPECT_TRUE(host->findPlugin("aa.dll")->known()) << "its slot describes the file: nothing to load at start";
        for (const char* name : {"aa.dll", "nover.dll", "preloader.dll", "Vantorel.dll"})
            EXPECT_TRUE(diskMenuPlugins().count(name)) << name;
        startFromDiskMenu("aa.dll");
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
    }
}

// After an uninstall the later slots moved down whole (their Exports too),
// no DLL has two, a switched-off plugin's slot is gone, and the moved plugin
// starts from its menu after FAR's next start.
TEST_F(CacheSlotsTest, AfterAnUninstallTheMovedSlotsAreWholeAndTheMovedPluginStarts) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        addFixture("recorder", "Aaa\\");
        addFixture("hexview", "Bbb\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall") + "calllogall.dll", pluginsDir() + "Zz\\zz.dll"));
        openList(build);
        const std::string zz = pluginsDir() + "Zz\\zz.dll";
        const std::map<std::string, DWORD> exported = exportsOf(slotOf(zz));
        ASSERT_EQ(1u, exported.at("OpenPlugin"));
        ASSERT_EQ(build.far175 ? 8u : 7u, exported.size()) << "SysID and the flags";

        press("Bbb", VK_F5, PKF_ALT, {0});
        for (const char* item : {"Aaa", "Bbb"}) {
            press(item, VK_F8, 0, {0});
            ASSERT_FALSE(fileExists(pluginsDir() + item));
        }
        std::vector<std::string> names = slotNames();
        for (const std::string& name : names) {
            EXPECT_EQ(std::string::npos, name.find("\\Aaa\\")) << name;
            EXPECT_EQ(std::string::npos, name.find("\\Bbb\\")) << name;
        }
        EXPECT_EQ(2u, names.size()) << "Vantorel and the call logger";
        EXPECT_EQ(exported, exportsOf(slotOf(zz))) << "moved down with its Exports";
        expectCacheAgreesWithRecords();

        addFixture("preloader", "Pre\\");
        restartAsFar();
        ASSERT_TRUE(host->findPlugin("zz.dll")->known());
        startFromDiskMenu("zz.dll");
        EXPECT_TRUE(host->findPlugin("zz.dll")->loaded()) << "FAR loaded it from its slot's flags";
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
    }
}

// FAR 1.75 keeps a 27th entry word, ProcessDialogEvent, and calls it for
// every dialog: it must be cleared with the others when a plugin is let go
// of, set again when it is re-armed, and cleared when it is switched off.
TEST_F(CacheSlotsTest, Far175sDialogEventWordFollowsUnloadReArmAndSwitchOff) {
    addFixture("dialogevent", "Dialog\\");
    FarSetup setup;
    setup.far175 = true;
    setup.loadAll = true;
    start(setup);
    openVantorel();
    farhost::Plugin* plugin = host->findPlugin("dialogevent.dll");
    ASSERT_TRUE(plugin->loaded());
    auto dialogWord = [&] { return reinterpret_cast<const DWORD*>(reinterpret_cast<const char*>(plugin->record()) + 1496)[0]; };
    auto calledByDialog = [&] {
        host->clearTranscript();
        host->dialogEvent(0);
        for (const std::string& line : host->transcript)
            if (line.find("ProcessDialogEvent(0) of dialogevent.dll") != std::string::npos) return true;
        return false;
    };
    ASSERT_TRUE(calledByDialog());

    press("Dialog", VK_DELETE, PKF_SHIFT, {0});
    ASSERT_FALSE(plugin->loaded());
    EXPECT_EQ(0u, dialogWord());
    EXPECT_FALSE(calledByDialog());
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();

    press("Dialog", VK_F6, PKF_SHIFT, {0});
    ASSERT_TRUE(plugin->known());
    EXPECT_EQ(1u, dialogWord()) << "re-armed from the DLL, which exports it";
    EXPECT_TRUE(calledByDialog()) << "loaded by the dialog event";
    EXPECT_TRUE(plugin->loaded());

    press("Dialog", VK_F5, PKF_ALT, {0});
    ASSERT_TRUE(fileExists(pluginsDir() + "Dialog\\dialogevent.dll.off"));
    EXPECT_EQ(0u, dialogWord());
    EXPECT_FALSE(calledByDialog());
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
}
