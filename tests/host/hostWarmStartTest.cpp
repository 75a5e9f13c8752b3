// The emulator's plugin records as the host lays them out, and its start with
// a warm plugin cache: a plugin the cache knows is not loaded at start; its
// record is built from the cache and the host loads the DLL through it at the
// plugin's first use, whichever way that use comes.
#include "hostTree.h"

#include "common/keyNames.h"

#include <shlwapi.h>
#include <algorithm>

using namespace testing_support;
using farhost::Export;
using farhost::Host;
using farhost::HostOptions;
using farhost::Panel;
using farhost::Plugin;
using farhost::PluginRecord;

namespace {

typedef int(WINAPI* AdvControlFunction)(int, int, void*);

// Two hosts, one after the other, over one tree and one registry root: the
// first starts cold (everything loads, the cache is written), the second warm.
class WarmStartTest : public HostTree {
protected:
    std::string base = "Software\\VantorelTests\\warm-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount());

    ~WarmStartTest() override {
        host.reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
    }

    HostOptions options(bool far175 = false) const {
        HostOptions o;
        o.hostDir = farDir();
        o.rootKey = base + "\\Far\\Plugins";
        o.removeRegistryOnExit = false;
        o.loadAll = true;
        o.far175 = far175;
        return o;
    }
    void startCold(bool far175 = false) {
        host.reset(new Host(options(far175)));
        host.reset();
    }
    void startWarm(bool far175 = false) { host.reset(new Host(options(far175))); }

    // The tree: binplug.dll sorts before calllogall.dll, whose folder sorts after panel's.
    void addTree() {
        addFixture("calllogall", "Zeta\\");
        addFixture("panel", "Alpha\\");
        addFixture("binplug", "Tools\\");
    }
    std::string callLogAll() const { return pluginsDir() + "Zeta\\calllogall.dll"; }
    std::vector<std::string> log() const { return readLog("Zeta\\calllogall.dll"); }
    void clearLog() const { DeleteFileA((callLogAll() + ".log").c_str()); }

    int slotOf(const std::string& path) const {
        for (int i = 0; i < 16; ++i) {
            HKEY h;
            std::string key = host->pluginsCacheKey() + "\\Plugin" + std::to_string(i);
            if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return -1;
            char name[MAX_PATH] = {};
            DWORD size = sizeof name - 1;
            RegQueryValueExA(h, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
            RegCloseKey(h);
            if (path == name) return i;
        }
        return -1;
    }
    void setExportFlag(const std::string& path, const char* name, DWORD value) {
        HKEY h;
        std::string key = host->pluginsCacheKey() + "\\Plugin" + std::to_string(slotOf(path)) + "\\Exports";
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &h));
        RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(h);
    }
    static bool has(const std::vector<std::string>& items, const std::string& item) {
        return std::find(items.begin(), items.end(), item) != items.end();
    }
};

TEST_F(WarmStartTest, ALoadedPluginsRecordLiesAtItsModuleNumberInTheHostsArray) {
    addTree();
    struct Mode {
        bool far175;
        int recordSize, entries;
        DWORD version;
    } modes[] = {
        {false, 1496, 26, 0x08270146},   // FAR 1.70 build 2087
        {true, 1500, 27, 0x0A4A014B},    // FAR 1.75 build 2634
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.far175 ? "1.75" : "1.70");
        SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());   // a cold start each
        host.reset(new Host(options(m.far175)));
        ASSERT_EQ(m.recordSize, host->records().layout().size);
        // In the order of the DLLs' file names, whatever their folders.
        std::vector<std::string> order;
        for (int i = 0; i < host->records().count(); ++i) order.push_back(host->records().at(i)->modulePath);
        EXPECT_EQ((std::vector<std::string>{pluginsDir() + "Tools\\bin\\binplug.dll", callLogAll(),
                                            pluginsDir() + "Alpha\\panel.dll"}),
                  order);
        for (const char* dll : {"calllogall.dll", "panel.dll"}) {
            SCOPED_TRACE(dll);
            Plugin* plugin = host->findPlugin(dll);
            ASSERT_TRUE(plugin && plugin->loaded());
            const PluginStartupInfo& info = plugin->startupInfo();
            const char* start = static_cast<const char*>(host->records().start());
            const PluginRecord* record = plugin->record();
            EXPECT_EQ(static_cast<const void*>(start + info.ModuleNumber * m.recordSize), record);
            EXPECT_EQ(plugin->path(), std::string(record->modulePath));
            EXPECT_EQ(GetModuleHandleA(plugin->path().c_str()), record->module);
            EXPECT_EQ(0u, record->workFlags);
            EXPECT_EQ(1u, record->callFlags);
            EXPECT_EQ(0, record->cachePos) << "loaded at start";
            const FARPROC* words = reinterpret_cast<const FARPROC*>(reinterpret_cast<const char*>(record) + 1392);
            for (int e = 0; e < m.entries; ++e)
                EXPECT_EQ(GetProcAddress(record->module, farhost::exportName(static_cast<Export>(e))), words[e])
                    << farhost::exportName(static_cast<Export>(e));
            auto adv = reinterpret_cast<AdvControlFunction>(info.AdvControl);
            DWORD version = 0;
            EXPECT_EQ(static_cast<int>(m.version), adv(info.ModuleNumber, ACTL_GETFARVERSION, &version));
            EXPECT_EQ(m.version, version);
        }
        host.reset();
    }
}

TEST_F(WarmStartTest, APluginTheCacheKnowsIsNotLoadedAndItsRecordComesFromTheCache) {
    addTree();
    startCold();
    clearLog();
    startWarm();
    Plugin* plugin = host->findPlugin("calllogall.dll");
    ASSERT_NE(nullptr, plugin);
    EXPECT_FALSE(moduleLoaded("calllogall.dll"));
    const PluginRecord* r = plugin->record();
    EXPECT_EQ(1u, r->workFlags);
    EXPECT_EQ(0u, r->callFlags);
    EXPECT_EQ(nullptr, r->module);
    EXPECT_EQ(nullptr, r->messages.list);
    EXPECT_EQ(0, r->messages.count);
    EXPECT_EQ('\0', r->languageFile[0]);
    EXPECT_EQ(1, r->cachePos) << "binplug.dll holds slot 0";
    EXPECT_EQ(1, slotOf(callLogAll()));
    const std::set<Export> flagged = {Export::OpenPlugin, Export::OpenFilePlugin, Export::ProcessEditorEvent,
                                      Export::ProcessEditorInput, Export::ProcessViewerEvent};
    for (int e = 0; e < 26; ++e)
        EXPECT_EQ(reinterpret_cast<FARPROC>(flagged.count(static_cast<Export>(e)) ? 1 : 0), r->entries[e])
            << farhost::exportName(static_cast<Export>(e));

    // Its menu items come from the cache, and nothing of it runs.
    EXPECT_TRUE(has(host->diskMenu(), "Call logger"));
    EXPECT_TRUE(has(host->pluginsMenu(), "Call logger"));
    EXPECT_TRUE(has(host->configMenu(), "Call logger"));
    EXPECT_EQ("calllog", plugin->commandPrefix());
    EXPECT_FALSE(moduleLoaded("calllogall.dll"));
    EXPECT_TRUE(log().empty());

    // With the whole cache deleted behind its back, the host's next menu loads every known plugin.
    SHDeleteKeyA(HKEY_CURRENT_USER, host->pluginsCacheKey().c_str());
    host->pluginsMenu();
    EXPECT_TRUE(plugin->loaded());
    EXPECT_TRUE(host->findPlugin("binplug.dll")->loaded());
}

TEST_F(WarmStartTest, EachWayInLoadsAKnownPluginAtItsFirstUse) {
    addTree();
    ASSERT_TRUE(writeFile(dir / "data.cl", "CALLLOG data"));
    startCold();
    struct Case {
        const char* way;
        std::function<void(Host&, Plugin*)> use;
        std::string call;   // the start of the log line of the call
    };
    const Case cases[] = {
        {"disk menu", [](Host& h, Plugin* p) { h.diskMenu(); p->open(OPEN_DISKMENU, 0); }, "OpenPlugin OpenFrom=0"},
        {"plugins menu", [](Host& h, Plugin* p) { h.pluginsMenu(); p->open(OPEN_PLUGINSMENU, 0); },
         "OpenPlugin OpenFrom=1"},
        {"configuration", [](Host& h, Plugin* p) { h.configMenu(); p->configure(0); }, "Configure Item=0"},
        {"command prefix", [](Host& h, Plugin*) { h.commandLine("calllog:x"); }, "OpenPlugin OpenFrom=4"},
        {"file", [this](Host& h, Plugin*) { h.openFilePlugin(dir / "data.cl"); }, "OpenFilePlugin Name="},
        {"editor event", [](Host& h, Plugin*) { h.editorEvent(1); }, "ProcessEditorEvent Event=1"},
        {"editor input",
         [](Host& h, Plugin*) {
             INPUT_RECORD input = {};
             input.EventType = KEY_EVENT;
             input.Event.KeyEvent.wVirtualKeyCode = 'A';
             h.editorInput(input);
         },
         "ProcessEditorInput Key=0x41"},
        {"viewer event", [](Host& h, Plugin*) { h.viewerEvent(2); }, "ProcessViewerEvent Event=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        clearLog();
        startWarm();
        Plugin* plugin = host->findPlugin("calllogall.dll");
        ASSERT_TRUE(plugin && plugin->known());
        c.use(*host, plugin);
        EXPECT_TRUE(plugin->loaded());
        EXPECT_TRUE(host->faults.empty());
        EXPECT_EQ(0u, plugin->record()->workFlags);
        EXPECT_EQ(1, plugin->record()->cachePos) << "a plugin loaded at its first use keeps its slot";
        // Loaded, started, then called: GetPluginInfo is not asked.
        std::vector<std::string> lines = log();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ("GetMinFarVersion", lines[0]);
        EXPECT_EQ(0u, lines[1].find("SetStartupInfo StructSize=372")) << lines[1];
        EXPECT_NE(std::string::npos, lines[1].find("build=1")) << lines[1];
        EXPECT_EQ(0u, lines[2].find(c.call)) << lines[2];
        host.reset();
    }
}

// The host goes by the record alone: a record put back into the known state
// while it runs (by a plugin manager, after releasing the DLL behind the host's
// back and replacing it) is loaded again, from the file there now, at its next use.
TEST_F(WarmStartTest, ARecordPutBackIntoTheKnownStateLoadsTheDllOnDiskAtItsNextUse) {
    addTree();
    host.reset(new Host(options()));
    Plugin* plugin = host->findPlugin("calllogall.dll");
    ASSERT_TRUE(plugin && plugin->loaded());
    PluginRecord* record = const_cast<PluginRecord*>(plugin->record());
    const int slot = slotOf(callLogAll());
    ASSERT_GE(slot, 0);
    HMODULE module = record->module;
    farhost::clearPluginRecord(record, host->records().layout());
    ASSERT_TRUE(FreeLibrary(module));
    ASSERT_TRUE(CopyFileA((fixtureDir("calllogall2") + "calllogall2.dll").c_str(), callLogAll().c_str(), FALSE));
    memset(&record->messages, 0, sizeof record->messages);
    record->languageFile[0] = 0;
    record->cachePos = slot;
    for (Export e : {Export::OpenPlugin, Export::OpenFilePlugin, Export::ProcessEditorEvent,
                     Export::ProcessEditorInput, Export::ProcessViewerEvent})
        record->entries[static_cast<int>(e)] = reinterpret_cast<FARPROC>(1);
    record->workFlags = farhost::kWorkCached;
    clearLog();

    EXPECT_TRUE(has(host->diskMenu(), "Call logger"));
    EXPECT_FALSE(moduleLoaded("calllogall.dll"));
    ASSERT_NE(nullptr, plugin->open(OPEN_DISKMENU, 0));
    EXPECT_EQ(GetModuleHandleA(callLogAll().c_str()), plugin->record()->module);
    EXPECT_EQ(slot, plugin->record()->cachePos);
    std::vector<std::string> lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("GetMinFarVersion", lines[0]);
    EXPECT_NE(std::string::npos, lines[1].find("build=2")) << lines[1];
    EXPECT_EQ("OpenPlugin OpenFrom=0 Item=0", lines[2]);
    EXPECT_TRUE(host->faults.empty());
}

// The host calls the entry it loaded a plugin for without testing it again:
// a cache flag of 1 for an entry the DLL lacks is a call through null.
TEST_F(WarmStartTest, ACacheFlagForAnEntryTheDllLacksIsReportedAsAFault) {
    addTree();
    ASSERT_TRUE(writeFile(dir / "data.txt", "nobody's data"));   // the call logger declines it
    startCold();
    struct Case {
        const char* entry;
        std::function<void(Host&)> use;
    } cases[] = {
        {"ProcessEditorEvent", [](Host& h) { h.editorEvent(1); }},
        {"OpenFilePlugin", [this](Host& h) { h.openFilePlugin(dir / "data.txt"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        startWarm();
        setExportFlag(pluginsDir() + "Alpha\\panel.dll", c.entry, 1);
        startWarm();
        Plugin* panel = host->findPlugin("panel.dll");
        ASSERT_TRUE(panel->known());
        c.use(*host);
        ASSERT_EQ(1u, host->faults.size());
        EXPECT_EQ("the host would call " + std::string(c.entry) +
                      " of panel.dll through a null address: its plugin cache slot says it has that entry point, "
                      "the DLL does not export it",
                  host->faults[0]);
        EXPECT_EQ(farhost::kWorkDontLoadAgain, panel->record()->workFlags);
        EXPECT_EQ(nullptr, panel->record()->module);
        EXPECT_FALSE(moduleLoaded("panel.dll"));
        setExportFlag(pluginsDir() + "Alpha\\panel.dll", c.entry, 0);
        host.reset();
    }
}

TEST_F(WarmStartTest, AKnownPluginWhoseFileIsGoneGivesTheHostsBoxAndItsEntryStays) {
    addTree();
    startCold();
    startWarm();
    ASSERT_TRUE(MoveFileA(callLogAll().c_str(), (callLogAll() + ".away").c_str()));
    Plugin* plugin = host->findPlugin("calllogall.dll");
    EXPECT_EQ(nullptr, plugin->open(OPEN_DISKMENU, 0));
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ((std::vector<std::string>{"Error", "Error loading plugin module", callLogAll(), "Ok"}),
              host->messages[0].lines);
    EXPECT_TRUE(has(host->diskMenu(), "Call logger"));
    // Once is enough: the host does not try again in this session.
    EXPECT_EQ(nullptr, plugin->open(OPEN_DISKMENU, 0));
    EXPECT_EQ(1u, host->messages.size());
    EXPECT_TRUE(host->faults.empty());
    host.reset();
    ASSERT_TRUE(MoveFileA((callLogAll() + ".away").c_str(), callLogAll().c_str()));
}

// GetMsg serves the record's message table while it holds one; the language
// file is read again only once the table is empty.
TEST_F(WarmStartTest, GetMsgKeepsTheRecordsTableAndReadsTheFileOnlyWhenItIsEmpty) {
    ASSERT_TRUE(copyFile(fixtureDir("notes") + "notes.dll", dir / "notes.dll"));
    ASSERT_TRUE(writeFile(dir / "mineEng.lng", ".Language=English,English\n\"Old first\"\n\"Old second\"\n"));
    host.reset(new Host(HostOptions()));
    Plugin* plugin = host->load(dir / "notes.dll");
    ASSERT_NE(nullptr, plugin) << host->lastError();
    const PluginStartupInfo& si = plugin->startupInfo();
    PluginRecord* record = const_cast<PluginRecord*>(plugin->record());
    EXPECT_STREQ("Old first", si.GetMsg(si.ModuleNumber, 0));
    EXPECT_EQ(2, record->messages.count);
    EXPECT_EQ(dir / "mineEng.lng", std::string(record->languageFile));

    ASSERT_TRUE(writeFile(dir / "mineEng.lng", ".Language=English,English\n\"New first\"\n\"New second\"\n\"Third\"\n"));
    struct Step {
        bool emptyTableFirst;
        int id;
        const char* text;
        bool damagedBox;
    } steps[] = {
        {false, 0, "Old first", false},   // kept
        {false, 2, "", true},             // past the kept table
        {true, 0, "New first", false},    // emptied: read again
        {false, 2, "Third", false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.id);
        if (s.emptyTableFirst) {
            memset(&record->messages, 0, sizeof record->messages);
            record->languageFile[0] = 0;
        }
        host->clearTranscript();
        EXPECT_STREQ(s.text, si.GetMsg(si.ModuleNumber, s.id));
        ASSERT_EQ(s.damagedBox ? 1u : 0u, host->messages.size());
        EXPECT_EQ(s.damagedBox ? 1u : 0u, host->problems.size());
        if (s.damagedBox)
            EXPECT_EQ((std::vector<std::string>{"Error", "Incorrect or damaged " + (dir / "mineEng.lng"),
                                                "Message 2 not found", "Ok", "Quit"}),
                      host->messages[0].lines);
    }
    EXPECT_EQ(3, record->messages.count);
}

// FAR 1.75 hands the keypad's Del to plugins as 0x109; FAR 1.70 as VK_DELETE.
TEST_F(WarmStartTest, NumDelReachesThePluginAsEachHostSendsIt) {
    addFixture("calllog", "CallLog\\");
    int vk = 0;
    unsigned state = 0;
    ASSERT_TRUE(farhost::parseKeyName("ShiftNumDel", vk, state));
    EXPECT_EQ(farhost::kNumDelKey175, vk);
    EXPECT_EQ(static_cast<unsigned>(PKF_SHIFT), state);
    EXPECT_EQ("ShiftNumDel", farhost::keyName(vk, state));
    struct Mode {
        bool far175;
        const char* line;
    } modes[] = {
        {false, "ProcessKey Key=0x2E ControlState=0x4"},
        {true, "ProcessKey Key=0x109 ControlState=0x4"},
    };
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.far175 ? "1.75" : "1.70");
        DeleteFileA((pluginsDir() + "CallLog\\calllog.dll.log").c_str());
        startWarm(m.far175);
        Panel* panel = host->findPlugin("calllog.dll")->open(OPEN_DISKMENU, 0);
        ASSERT_NE(nullptr, panel);
        panel->key(vk, state);
        EXPECT_TRUE(has(readLog("CallLog\\calllog.dll"), m.line));
        host.reset();
    }
}

}  // namespace

// The host removes the cache slots of DLLs that are gone only at a start
// that cached some plugin afresh; a warm start that cached nothing keeps
// them, read by no record.
TEST_F(WarmStartTest, ASlotWhoseDllIsGoneStaysUntilAStartCachesAPluginAfresh) {
    addTree();
    startCold();
    std::string gone = pluginsDir() + "Tools\\bin\\binplug.dll";
    ASSERT_TRUE(MoveFileA(gone.c_str(), (gone + ".off").c_str()));
    startWarm();
    EXPECT_GE(slotOf(gone), 0) << "nothing was cached afresh";
    EXPECT_EQ(nullptr, host->findPlugin("binplug.dll"));
    host.reset();
    // A changed DLL is cached afresh at the next start: then the slot goes.
    ASSERT_TRUE(writeFile(pluginsDir() + "Zeta\\calllogall.dll.log", ""));
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    HANDLE file = CreateFileA(callLogAll().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ULARGE_INTEGER t;
    t.LowPart = later.dwLowDateTime;
    t.HighPart = later.dwHighDateTime;
    t.QuadPart += 50000000ull;
    later.dwLowDateTime = t.LowPart;
    later.dwHighDateTime = t.HighPart;
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
    startWarm();
    EXPECT_LT(slotOf(gone), 0);
    EXPECT_GE(slotOf(callLogAll()), 0);
    host.reset();
    MoveFileA((gone + ".off").c_str(), gone.c_str());
}

// As the host: a start that writes any slot (here a plugin loaded at every
// start) removes the slots of DLLs that are gone only after every record got
// its slot number, so the last plugin's number lies past the last slot and
// the plugin is missing from every menu for that session.
TEST_F(WarmStartTest, APreloadedPluginsStartMovesSlotsUnderTheLaterRecords) {
    // Slots by file name: apre (loaded at every start), binplug, calllogall, panel.
    addTree();
    ASSERT_TRUE(copyFile(fixtureDir("preloader") + "preloader.dll", pluginsDir() + "Pre\\apre.dll"));
    startCold();
    std::string gone = pluginsDir() + "Tools\\bin\\binplug.dll";
    ASSERT_TRUE(MoveFileA(gone.c_str(), (gone + ".off").c_str()));
    startWarm();
    Plugin* last = host->findPlugin("panel.dll");
    ASSERT_NE(nullptr, last);
    ASSERT_TRUE(last->known());
    EXPECT_EQ(3, last->record()->cachePos) << "numbered before the slots moved";
    EXPECT_EQ(2, slotOf(pluginsDir() + "Alpha\\panel.dll"));
    std::vector<Plugin*> owners;
    host->pluginsMenu(&owners);
    EXPECT_EQ(owners.end(), std::find(owners.begin(), owners.end(), last)) << "gone from the menus";
    EXPECT_NE(owners.end(), std::find(owners.begin(), owners.end(), host->findPlugin("calllogall.dll")))
        << "its number lies on another plugin's slot: found by its name";
    host.reset();
    // The next start numbers from the moved slots: all are back.
    startWarm();
    owners.clear();
    host->pluginsMenu(&owners);
    EXPECT_NE(owners.end(), std::find(owners.begin(), owners.end(), host->findPlugin("panel.dll")));
    host.reset();
    MoveFileA((gone + ".off").c_str(), gone.c_str());
}
