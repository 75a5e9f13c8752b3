// The emulator as a host whose plugins are really loaded: what it loads at
// start, the plugin cache it keeps in the registry, and how it survives a
// plugin whose module another plugin freed behind its back.
#include "hostTree.h"

#include <algorithm>

#include <functional>
#include <map>

using namespace testing_support;

namespace {

struct RegKey {
    HKEY h = nullptr;
    ~RegKey() { if (h) RegCloseKey(h); }
};

std::vector<std::string> subkeys(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> valueNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string textValue(HKEY key, const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "<none>";
    return value;
}

struct CacheEntry {
    std::string id;
    std::vector<std::string> exports;   // the Exports values (SysID aside) that are 1
};

// The plugin cache as the host left it: key names, and the entries by DLL path.
std::vector<std::string> readCache(const std::string& cacheKey, std::map<std::string, CacheEntry>* byName = nullptr) {
    RegKey cache;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, cacheKey.c_str(), 0, KEY_READ, &cache.h) != ERROR_SUCCESS) return {};
    std::vector<std::string> keys = subkeys(cache.h);
    for (const std::string& k : keys) {
        RegKey plugin, exports;
        if (RegOpenKeyExA(cache.h, k.c_str(), 0, KEY_READ, &plugin.h) != ERROR_SUCCESS) continue;
        CacheEntry entry;
        entry.id = textValue(plugin.h, "ID");
        if (RegOpenKeyExA(plugin.h, "Exports", 0, KEY_READ, &exports.h) == ERROR_SUCCESS)
            for (const std::string& name : valueNames(exports.h)) {
                DWORD value = 0, size = sizeof value;
                if (name != "SysID" &&
                    RegQueryValueExA(exports.h, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                     &size) == ERROR_SUCCESS &&
                    value == 1)
                    entry.exports.push_back(name);
            }
        if (byName) (*byName)[textValue(plugin.h, "Name")] = entry;
    }
    return keys;
}

std::vector<std::string> contiguousKeys(size_t n) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < n; ++i) keys.push_back("Plugin" + std::to_string(i));
    return keys;
}

int problemsMentioning(const farhost::Host& host, const std::string& text) {
    int n = 0;
    for (const std::string& p : host.problems) n += p.find(text) != std::string::npos;
    return n;
}

}  // namespace

class HostLoadingTest : public HostTree {
protected:
    // A start of the host over the tree: one plugin loaded first (the sample
    // panel, as a plugin a test drives), then every other plugin of the tree
    // as the host loads them at start.
    farhost::Plugin* first = nullptr;
    void start(farhost::HostOptions options = farhost::HostOptions()) {
        addFixture("panel", "Panel\\");
        options.hostDir = farDir();
        host.reset(new farhost::Host(options));
        first = host->load(pluginsDir() + "Panel\\panel.dll");
        ASSERT_NE(nullptr, first) << host->lastError();
        host->loadAllPlugins();
    }
};

TEST_F(HostLoadingTest, LoadAllLoadsEveryPluginOfBothFoldersButThoseLeftOut) {
    addFixture("recorder", "Recorder\\");
    addFixture("binplug", "Deep\\Tools\\");            // its DLL is in Deep\Tools\bin
    addFixture("noinfo", "NoInfo\\");
    addFakeDll("Broken\\broken.dll");
    addFixture("badload", "Refuses\\");               // DllMain says no
    addFixture("faultstartup", "Faulty\\");           // SetStartupInfo faults: the host survives it
    ASSERT_TRUE(copyTree(fixtureDir("nover"), dir / "Personal\\Nover\\"));
    farhost::HostOptions options;
    options.writePersonalPath = true;
    options.personalPluginsPath = dir / "Personal";
    options.leaveUnloaded = {"NOINFO.DLL"};
    start(options);

    struct Case {
        const char* dll;
        bool loaded;
    } cases[] = {
        {"recorder.dll", true}, {"binplug.dll", true}, {"nover.dll", true},
        {"noinfo.dll", false},  {"broken.dll", false},  {"badload.dll", false}, {"faultstartup.dll", false},
    };
    for (const Case& c : cases) {
        farhost::Plugin* plugin = host->findPlugin(c.dll);
        EXPECT_EQ(c.loaded, plugin != nullptr && plugin->loaded()) << c.dll;
        EXPECT_EQ(c.loaded, moduleLoaded(c.dll)) << c.dll;
    }
    int firsts = 0;
    for (farhost::Plugin* p : host->plugins()) firsts += p->path() == first->path();
    EXPECT_EQ(1, firsts) << "loaded before loadAll, not again";

    // Initialised as the host does: its GetMsg answers from its own files;
    // then the host asks what it offers.
    std::vector<std::string> log = readLog("Recorder\\recorder.dll");
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(0u, log[1].find("SetStartupInfo module=" + pluginsDir() + "Recorder\\recorder.dll msg0=Call recorder "))
        << log[1];
    EXPECT_EQ("GetPluginInfo", log[2]);
    for (const char* dll : {"broken.dll", "badload.dll"}) {
        bool noted = false;
        for (const std::string& line : host->transcript)
            noted = noted || (line.find("not loaded") != std::string::npos && line.find(dll) != std::string::npos);
        EXPECT_TRUE(noted) << dll << ": a DLL that cannot be loaded is noted";
    }
    ASSERT_EQ(1u, host->problems.size());
    EXPECT_EQ(0u, host->problems[0].find("SetStartupInfo faulted: write to 0x00000000 at faultstartup.dll+0x"))
        << host->problems[0];
}

// As the host writes it: a slot for each plugin loaded at start that it could
// start again from a menu, a file or an event (a plugin without GetPluginInfo
// and without such entries gets none), beside the RootKey's Plugins key.
TEST_F(HostLoadingTest, PluginsCacheHasOneContiguousKeyPerLoadedPluginAndGoesAtExit) {
    addFixture("recorder", "Recorder\\");
    addFixture("noinfo", "Tools\\NoInfo\\");
    addFixture("calllogall", "CallLogAll\\");
    addFakeDll("Broken\\broken.dll");
    start();
    const std::string cacheKey = host->pluginsCacheKey();
    EXPECT_EQ(host->rootKey().substr(0, host->rootKey().size() - 7) + "PluginsCache", cacheKey);

    std::map<std::string, CacheEntry> entries;
    EXPECT_EQ(contiguousKeys(3), readCache(cacheKey, &entries));
    struct Case {
        std::string dll;
        bool cached;
        std::vector<std::string> flags;   // sorted
    } cases[] = {
        {pluginsDir() + "Recorder\\recorder.dll", true, {}},
        {pluginsDir() + "Tools\\NoInfo\\noinfo.dll", false, {}},
        {pluginsDir() + "CallLogAll\\calllogall.dll", true,
         {"OpenFilePlugin", "OpenPlugin", "ProcessEditorEvent", "ProcessEditorInput", "ProcessViewerEvent"}},
        {first->path(), true, {"OpenPlugin"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.cached ? 1u : 0u, entries.count(c.dll)) << c.dll;
        if (!c.cached) continue;
        EXPECT_EQ(c.flags, entries[c.dll].exports) << c.dll;
        EXPECT_NE("<none>", entries[c.dll].id);
    }
    EXPECT_NE(entries[cases[0].dll].id, entries[cases[2].dll].id);

    // A plugin loaded later joins under the next number.
    ASSERT_TRUE(copyTree(fixtureDir("nover"), dir / "Later\\"));
    ASSERT_NE(nullptr, host->load(dir / "Later\\nover.dll"));
    EXPECT_EQ(contiguousKeys(4), readCache(cacheKey));

    host.reset();
    EXPECT_TRUE(readCache(cacheKey).empty());
    RegKey gone;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, cacheKey.c_str(), 0, KEY_READ, &gone.h));
}

// A module released behind the host's back is still in the host's record;
// the released host calls through that record and dies. The emulator reports
// that call as the fault it would be, for each situation the host calls in,
// and never frees the module again (someone else may hold it by then).
TEST_F(HostLoadingTest, ACallIntoAModuleReleasedBehindTheHostsBackIsTheFaultTheHostWouldDieOf) {
    struct Case {
        const char* what;
        bool panelInOtherHalf;
        const char* exportCalled;
        std::function<void(farhost::Host&, farhost::Panel&)> act;
    };
    const Case cases[] = {
        {"the plugins menu (F11)", false, "GetPluginInfo", [](farhost::Host& h, farhost::Panel&) { h.pluginsMenu(); }},
        {"the disk menu", false, "GetPluginInfo", [](farhost::Host& h, farhost::Panel&) { h.diskMenu(); }},
        {"quitting", false, "ExitFAR", [](farhost::Host& h, farhost::Panel&) { h.quit(); }},
        {"a key with its panel in the other half", true, "ProcessEvent",
         [](farhost::Host&, farhost::Panel& first) { first.key(VK_DOWN); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TempDir caseDir{"released"};
        ASSERT_TRUE(copyTree(fixtureDir("panel"), caseDir / "Far\\Plugins\\Panel\\"));
        ASSERT_TRUE(copyTree(fixtureDir("calllog"), caseDir / "Far\\Plugins\\CallLog\\"));
        const std::string dll = caseDir / "Far\\Plugins\\CallLog\\calllog.dll";
        farhost::HostOptions options;
        options.hostDir = caseDir / "Far\\";
        std::unique_ptr<farhost::Host> h(new farhost::Host(options));
        farhost::Plugin* sample = h->load(caseDir / "Far\\Plugins\\Panel\\panel.dll");
        farhost::Plugin* plugin = h->load(dll);
        ASSERT_NE(nullptr, sample) << h->lastError();
        ASSERT_NE(nullptr, plugin) << h->lastError();
        farhost::Panel* first = sample->open();
        ASSERT_NE(nullptr, first);
        if (c.panelInOtherHalf) ASSERT_NE(nullptr, h->openOtherPanel(plugin));
        size_t logged = readLines(dll + ".log").size();

        ASSERT_TRUE(FreeLibrary(plugin->module()));   // a manager's unload, behind the host's back
        ASSERT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
        c.act(*h, *first);

        ASSERT_EQ(1u, h->faults.size());
        EXPECT_EQ(std::string("the host would call ") + c.exportCalled + " of calllog.dll, whose module was released",
                  h->faults[0]);
        EXPECT_TRUE(plugin->released());
        EXPECT_EQ(logged, readLines(dll + ".log").size());   // nothing of it ran

        HMODULE again = LoadLibraryA(dll.c_str());   // someone else loads it now
        ASSERT_NE(nullptr, again);
        h.reset();                                   // calls nothing more of it, frees nothing
        EXPECT_EQ(again, GetModuleHandleA(dll.c_str()));
        EXPECT_EQ(logged, readLines(dll + ".log").size());
        FreeLibrary(again);
    }
}

TEST_F(HostLoadingTest, AScreenLeftSavedIsNotedOnceAfterTheCallThatLeftIt) {
    addFixture("recorder", "Recorder\\");
    start();
    farhost::Plugin* plugin = host->findPlugin("recorder.dll");
    ASSERT_NE(nullptr, plugin);
    ASSERT_NE(nullptr, plugin->startupInfo().SaveScreen(0, 0, -1, -1));   // as if Configure had left it

    plugin->configure(0);
    plugin->configure(0);
    host->unload(plugin);
    ASSERT_EQ(1u, host->problems.size());
    EXPECT_NE(std::string::npos, host->problems[0].find("after Configure of " + plugin->path())) << host->problems[0];
}
