// An emulated host over a FAR tree of its own, with Vantorel installed in
// Plugins\Vantorel, for the end-to-end tests.
#pragma once
#include "hostTree.h"
#include "ui/messages.h"

#include <shlwapi.h>
#include <algorithm>
#include <set>

struct FarSetup {
    bool personal = false;            // write PersonalPluginsPath
    std::string personalValue;        // the stored value, as typed by the user
    std::string language = "English";
    std::string vantorelFolder = "Plugins\\Vantorel\\";   // relative to the FAR folder
    // After Vantorel, load every other plugin of the tree as the host does at
    // start (and keep the host's plugin cache in the registry).
    bool loadAll = false;
    std::vector<std::string> leaveUnloaded;   // DLL file names loadAll skips
    unsigned otherBuild = 0;                  // the build FAR answers, when not 2087
    bool far175 = false;                      // FAR 1.75 build 2634 instead of FAR 1.70 build 2087
    // A warm start: a first FAR started cold over the same tree and registry
    // (everything loaded, its plugin cache written) and quit; this one then
    // knows every plugin from its cache and loads none until it is used.
    bool warm = false;
};

// The two hosts Vantorel is tried in, for the tests whose behaviour may
// differ between them (record layout, the keypad's Del).
struct FarBuild {
    const char* name;
    bool far175;
};
const FarBuild FAR_BUILDS[] = {{"FAR 1.70 build 2087", false}, {"FAR 1.75 build 2634", true}};

class HostTest : public HostTree {
protected:
    farhost::Plugin* vantorel = nullptr;

    std::string vantorelDir(const FarSetup& s = FarSetup()) const { return farDir() + s.vantorelFolder; }

    // Installs Vantorel, starts the host and loads the plugin.
    void start(const FarSetup& setup = FarSetup()) {
        setup_ = setup;
        ASSERT_TRUE(testing_support::copyFolderFiles(testing_support::distDir(), vantorelDir(setup)));
        farhost::HostOptions options;
        options.hostDir = farDir();
        options.language = setup.language;
        options.writePersonalPath = setup.personal;
        options.personalPluginsPath = setup.personalValue;
        options.leaveUnloaded = setup.leaveUnloaded;
        options.otherBuild = setup.otherBuild;
        options.far175 = setup.far175;
        if (!warmBase_.empty()) {
            host.reset();
            SHDeleteKeyA(HKEY_CURRENT_USER, warmBase_.c_str());
            warmBase_.clear();
        }
        if (setup.warm) {
            options.rootKey = "Software\\VantorelTests\\warm-" + std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(GetTickCount()) + "\\Far\\Plugins";
            options.removeRegistryOnExit = false;
            warmBase_ = options.rootKey.substr(0, options.rootKey.size() - strlen("\\Far\\Plugins"));
            farhost::HostOptions cold = options;
            cold.loadAll = true;
            { farhost::Host first(cold); }
            options.loadAll = true;   // what the cache does not know is loaded, as at any start
        }
        options_ = options;
        host.reset(new farhost::Host(options));
        vantorel = host->load(vantorelDir(setup) + "Vantorel.dll");
        ASSERT_NE(nullptr, vantorel) << host->lastError();
        if (setup.loadAll) host->loadAllPlugins();
    }

    // Writes the stored settings record straight into the registry.
    void storeSettings(const std::string& bytes, DWORD type = REG_BINARY) {
        std::string key = host->rootKey() + "\\J\\Vantorel";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &h, nullptr));
        RegSetValueExA(h, "JConfig", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(h);
    }

    // The stored settings value, and its type; empty when there is none.
    std::string storedSettings(DWORD* type = nullptr) {
        std::string key = host->rootKey() + "\\J\\Vantorel";
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::string();
        char buf[64];
        DWORD size = sizeof buf, t = 0;
        LONG rc = RegQueryValueExA(h, "JConfig", nullptr, &t, reinterpret_cast<BYTE*>(buf), &size);
        RegCloseKey(h);
        if (type) *type = t;
        return rc == ERROR_SUCCESS ? std::string(buf, size) : std::string();
    }

    std::string cacheFile(const FarSetup& s = FarSetup()) const { return vantorelDir(s) + "JCache.dat"; }

    // The text of one of Vantorel's messages, as its installed English language
    // file has it; "%s" names the FAR it runs in, as Vantorel fills it in.
    std::string text(int id) const {
        int n = -1;
        for (std::string l : testing_support::readLines(vantorelDir(setup_) + "VantorelEng.lng")) {
            if (l.empty() || l[0] != '"' || ++n != id) continue;
            while (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.pop_back();
            l = l.substr(1, l.size() - 2);
            for (size_t esc; (esc = l.find("\\\"")) != std::string::npos;) l.erase(esc, 1);
            size_t named = l.find("%s");
            if (named != std::string::npos) l.replace(named, 2, setup_.far175 ? "1.75" : "1.70");
            return l;
        }
        return "<no message " + std::to_string(id) + ">";
    }

    // FAR quit and started again over the same tree and registry (a warm
    // start: it knows its plugins from the cache the last one kept).
    void restart() {
        host.reset();
        farhost::HostOptions options = options_;
        options.loadAll = true;
        host.reset(new farhost::Host(options));
        vantorel = host->load(vantorelDir(setup_) + "Vantorel.dll");
        ASSERT_NE(nullptr, vantorel) << host->lastError();
    }
    farhost::HostOptions options_;
    FarSetup setup_;
    std::string warmBase_;   // the registry of a warm start, removed at the end
    ~HostTest() override {
        host.reset();
        if (!warmBase_.empty()) SHDeleteKeyA(HKEY_CURRENT_USER, warmBase_.c_str());
    }
    // The item Vantorel's own DLL gives, which most tests leave out.
    std::string selfItem() const {
        std::string d = vantorelDir(setup_);
        return d.substr(0, d.size() - 1);
    }

    // Names of the panel's items but Vantorel's own, in the host's order.
    std::vector<std::string> names(const farhost::Panel* panel) const {
        std::vector<std::string> out;
        for (const auto& e : panel->items())
            if (!e.isDots && e.name != selfItem()) out.push_back(e.name);
        return out;
    }

    // The same, in catalogue order (the index each item carries).
    std::vector<std::string> catalogueOrder(const farhost::Panel* panel) const {
        std::vector<std::pair<DWORD, std::string>> byIndex;
        for (const auto& e : panel->items())
            if (!e.isDots && e.name != selfItem()) byIndex.push_back({e.raw.NumberOfLinks, e.name});
        std::sort(byIndex.begin(), byIndex.end());
        std::vector<std::string> out;
        for (auto& p : byIndex) out.push_back(p.second);
        return out;
    }
};
