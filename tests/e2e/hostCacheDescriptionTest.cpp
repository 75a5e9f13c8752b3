// A scan after FAR has started warm: what FAR's plugin cache says about a
// DLL as it is on disk is what the scan takes, and only the plugins the cache
// does not describe are loaded.
#include "harness.h"

#include <map>

using namespace testing_support;

namespace {

// Plugins that answer in every way the description rule tells apart; FAR
// keeps no slot for noinfo (nothing it could start it through), and one
// without menus for putfiles (a panel without GetPluginInfo).
const char* const FIXTURES[] = {"recorder", "zerocounts", "longmenu", "calllogall", "panel",
                                "binplug",  "hexview",    "noinfo",   "putfiles"};

std::string dllOf(const std::string& fixture) {
    return fixture == "binplug" ? fixture + "\\bin\\" + fixture + ".dll" : fixture + "\\" + fixture + ".dll";
}

}  // namespace

class HostCacheDescriptionTest : public HostTest {
protected:
    void addFixtures() {
        for (const char* f : FIXTURES) addFixture(f, std::string(f) + "\\");
        // A plugin that does not answer is described by its help file first.
        writeFile(pluginsDir() + "putfiles\\putfiles.hlf", ".Language=English,English\n.PluginContents=Put files help\n");
    }
    std::map<std::string, std::string> descriptions() {
        farhost::Panel* panel = vantorel->open();
        EXPECT_NE(nullptr, panel);
        std::map<std::string, std::string> out;
        if (!panel) return out;
        for (const auto& e : panel->items())
            if (!e.isDots && e.name != selfItem()) out[e.name] = e.description;
        panel->close();
        return out;
    }
    size_t logSize(const std::string& fixture) const { return readLog(dllOf(fixture)).size(); }
    // Sets a value of the cache slot FAR keeps for the DLL.
    void setSlotValue(const std::string& fixture, const char* name, DWORD value) {
        std::string path = pluginsDir() + dllOf(fixture);
        for (int i = 0;; ++i) {
            std::string key = host->pluginsCacheKey() + "\\Plugin" + std::to_string(i);
            HKEY h;
            ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &h)) << path;
            char slotName[MAX_PATH] = {};
            DWORD size = sizeof slotName - 1;
            RegQueryValueExA(h, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(slotName), &size);
            if (path == slotName)
                RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
            RegCloseKey(h);
            if (path == slotName) return;
        }
    }
};

TEST_F(HostCacheDescriptionTest, FarsCacheGivesEachPluginTheDescriptionAProbeGivesAndNothingIsLoaded) {
    addFixtures();
    for (const char* language : {"English", "Russian"}) {
        SCOPED_TRACE(language);
        FarSetup setup;
        setup.language = language;
        host.reset();   // FAR quits before Vantorel's files are put in place again
        start(setup);   // FAR has cached nothing: every plugin is asked
        DeleteFileA(cacheFile().c_str());
        size_t asked = logSize("recorder");
        std::map<std::string, std::string> probed = descriptions();
        ASSERT_EQ(9u, probed.size());
        EXPECT_EQ("Put files help", probed[pluginsDir() + "putfiles"]);
        ASSERT_EQ(asked + 4, logSize("recorder"));
        DeleteFileA(cacheFile().c_str());
        setup.warm = true;
        host.reset();
        start(setup);
        ASSERT_FALSE(host->findPlugin("recorder.dll")->loaded());
        size_t recorder = logSize("recorder"), callLog = logSize("calllogall");
        EXPECT_EQ(probed, descriptions());
        EXPECT_EQ(recorder, logSize("recorder")) << "the scan loaded a plugin FAR's cache describes";
        EXPECT_EQ(callLog, logSize("calllogall"));
        EXPECT_EQ(nullptr, GetModuleHandleA((pluginsDir() + dllOf("recorder")).c_str()));
        EXPECT_TRUE(host->problems.empty());
    }
}

TEST_F(HostCacheDescriptionTest, ADllChangedSinceFarCachedItIsAskedItself) {
    addFixtures();
    FarSetup setup;
    setup.warm = true;
    start(setup);
    // A build of the same size written later: FAR's ID no longer matches.
    std::string recorder = pluginsDir() + dllOf("recorder");
    HANDLE file = CreateFileA(recorder.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME written;
    GetFileTime(file, nullptr, nullptr, &written);
    written.dwLowDateTime += 10000000;
    if (written.dwLowDateTime < 10000000) ++written.dwHighDateTime;
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    size_t before = logSize("recorder"), callLog = logSize("calllogall");
    std::map<std::string, std::string> seen = descriptions();
    std::vector<std::string> log = readLog(dllOf("recorder"));
    ASSERT_EQ(before + 4, log.size());
    EXPECT_EQ("attach", log[before]);
    EXPECT_EQ("GetPluginInfo", log[before + 2]);
    EXPECT_EQ("Call recorder", seen[pluginsDir() + "recorder"]);
    EXPECT_EQ(callLog, logSize("calllogall"));
}

// A Preload slot keeps no menus: such a plugin is asked as before, here
// loaded by the scan since FAR has not loaded it in this session.
TEST_F(HostCacheDescriptionTest, APreloadSlotIsNotTakenForMenus) {
    addFixtures();
    FarSetup setup;
    setup.warm = true;
    start(setup);
    setSlotValue("recorder", "Preload", 1);
    size_t before = logSize("recorder");
    EXPECT_EQ("Call recorder", descriptions()[pluginsDir() + "recorder"]);
    std::vector<std::string> log = readLog(dllOf("recorder"));
    ASSERT_EQ(before + 4, log.size());
    EXPECT_EQ("GetPluginInfo", log[before + 2]);
}

// A plugin FAR has loaded answers for itself, without a second start.
TEST_F(HostCacheDescriptionTest, APluginFarHasLoadedIsAskedAsItIs) {
    addFixtures();
    FarSetup setup;
    setup.warm = true;
    start(setup);
    farhost::Plugin* rec = host->load(pluginsDir() + dllOf("recorder"));
    ASSERT_NE(nullptr, rec);
    size_t before = logSize("recorder");
    descriptions();
    std::vector<std::string> log = readLog(dllOf("recorder"));
    ASSERT_EQ(before + 1, log.size());
    EXPECT_EQ("GetPluginInfo", log.back());
}

TEST_F(HostCacheDescriptionTest, WithProbingOffFarsCacheIsNotReadEither) {
    addFixtures();
    FarSetup setup;
    setup.warm = true;
    start(setup);
    storeSettings(std::string("\1\0\0\1\1\0", 6));
    size_t before = logSize("recorder");
    std::map<std::string, std::string> seen = descriptions();
    EXPECT_EQ("Recorder help contents", seen[pluginsDir() + "recorder"]);
    EXPECT_EQ("Zero counts help", seen[pluginsDir() + "zerocounts"]);
    EXPECT_EQ(before, logSize("recorder"));
}
