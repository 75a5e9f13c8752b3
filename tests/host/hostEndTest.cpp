// Every plugin the host loaded ends as at the host's quit: its ExitFAR, once,
// before its module is released, however the run ends: a quit, a run that
// stops early because the plugin's panel never opened, the plugin unloaded on
// its own. A plugin known only from the cache was never loaded: nothing of it
// is called.
#include "hostTree.h"

#include <shlwapi.h>
#include <algorithm>
#include <functional>

using namespace testing_support;

namespace {

int count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

class HostEndTest : public HostTree {};

TEST_F(HostEndTest, APluginWhosePanelNeverOpenedGetsItsExitFarOnceBeforeItsModuleGoes) {
    struct Case {
        const char* how;
        std::function<void(farhost::Host&, farhost::Plugin&)> end;   // then the host goes
    };
    const Case cases[] = {
        {"the host goes at once", [](farhost::Host&, farhost::Plugin&) {}},
        {"the run ends early", [](farhost::Host& h, farhost::Plugin&) { h.end(); }},
        {"the host quits", [](farhost::Host& h, farhost::Plugin&) { EXPECT_TRUE(h.quit()); }},
        {"the plugin is unloaded on its own", [](farhost::Host& h, farhost::Plugin& p) { h.unload(&p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        addFixture("calllogrefuse", "Refuse\\");
        DeleteFileA((pluginsDir() + "Refuse\\calllogrefuse.dll.log").c_str());
        farhost::HostOptions options;
        options.hostDir = farDir();
        host.reset(new farhost::Host(options));
        farhost::Plugin* plugin = host->load(pluginsDir() + "Refuse\\calllogrefuse.dll");
        ASSERT_NE(nullptr, plugin) << host->lastError();
        ASSERT_EQ(nullptr, plugin->open(OPEN_DISKMENU, 0));

        c.end(*host, *plugin);
        host.reset();

        std::vector<std::string> log = readLog("Refuse\\calllogrefuse.dll");
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(1, count(log, "ExitFAR"));
        EXPECT_EQ((std::vector<std::string>{"ExitFAR", "DllMain detach"}),
                  std::vector<std::string>(log.end() - 2, log.end()));
    }
}

TEST_F(HostEndTest, APluginKnownOnlyFromTheCacheIsNeverCalled) {
    addFixture("calllogrefuse", "Refuse\\");
    const std::string base = "Software\\VantorelTests\\end-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount());
    farhost::HostOptions options;
    options.hostDir = farDir();
    options.rootKey = base + "\\Far\\Plugins";
    options.removeRegistryOnExit = false;
    options.loadAll = true;
    host.reset(new farhost::Host(options));   // cold: loads it and caches it
    host.reset();
    ASSERT_EQ(1, count(readLog("Refuse\\calllogrefuse.dll"), "ExitFAR"));
    DeleteFileA((pluginsDir() + "Refuse\\calllogrefuse.dll.log").c_str());

    host.reset(new farhost::Host(options));   // warm: known from the cache, not loaded
    farhost::Plugin* plugin = host->findPlugin("calllogrefuse.dll");
    ASSERT_NE(nullptr, plugin);
    EXPECT_TRUE(plugin->known());
    host.reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());

    EXPECT_EQ(std::vector<std::string>(), readLog("Refuse\\calllogrefuse.dll"));
}

}  // namespace
