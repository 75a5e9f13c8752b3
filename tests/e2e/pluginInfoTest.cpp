// F3 on a plugin in the list: a box with what the DLL's file tells, and why
// FAR 1.70 would not take it as a plugin, for each kind of DLL it refuses or
// keeps without its services.
// The DLLs are real files built by the test build; none of them is loaded.
#include "harness.h"
#include "../../src/ui/messages.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const char kHostCache[] = "SOFTWARE\\Far\\PluginsCache";
const size_t kBoxWidth = 64;   // FAR cuts longer box lines at 80 columns

// 1000 bytes of noise from a fixed seed.
std::string noise() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 1000; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 16);
    }
    return bytes;
}

}  // namespace

class PluginInfoTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    // The emulated host writes its plugin cache where the real one does,
    // shared by every test: start and end without it.
    PluginInfoTest() { SHDeleteKeyA(HKEY_CURRENT_USER, kHostCache); }
    ~PluginInfoTest() override { SHDeleteKeyA(HKEY_CURRENT_USER, kHostCache); }

    void openList() {
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        host->clearRecords();
    }
    // Presses F3 on the item of the DLL's folder (or full item name) and
    // returns the one box it showed.
    farhost::MessageCall pressF3On(const std::string& item) {
        const auto& items = panel->items();
        bool found = false;
        for (size_t i = 0; i < items.size() && !found; ++i)
            if (items[i].name == item) {
                panel->setCurrent(static_cast<int>(i));
                found = true;
            }
        EXPECT_TRUE(found) << "no item " << item;
        host->clearRecords();
        panel->key(VK_F3, 0);
        EXPECT_EQ(1u, host->messages.size()) << item;
        return host->messages.empty() ? farhost::MessageCall() : host->messages.back();
    }
    static bool has(const farhost::MessageCall& box, const std::string& line) {
        return std::find(box.lines.begin(), box.lines.end(), line) != box.lines.end();
    }
    static std::string shown(const farhost::MessageCall& box) {
        std::string all;
        for (const std::string& l : box.lines) all += "\n  " + l;
        return all;
    }
};

TEST_F(PluginInfoTest, TheBoxSaysWhyFar170CannotUseEachKindOfDll) {
    struct Row {
        const char* what;
        const char* folder;      // below Plugins
        const char* dll;         // file name
        const char* fixture;     // copied whole into the folder; nullptr: bytes written by the test
        int reason;              // message id of the verdict
        std::string detail;      // the line after the verdict's first, when there is one
    };
    const Row rows[] = {
        {"a plain plugin", "Rec", "recorder.dll", "recorder", MInfoFit, ""},
        {"random bytes", "Noise", "noise.dll", nullptr, MUnfitNotDll, ""},
        {"a PE file cut short", "Cut", "cut.dll", nullptr, MUnfitNotDll, ""},
        {"a 64-bit DLL", "Win64", "win64.dll", "win64", MUnfit64Bit, ""},
        {"a Unicode build", "Wide", "unicode.dll", "unicode", MUnfitUnicode, ""},
        {"decorated names", "Decorated", "paneldecorated.dll", "paneldecorated", MUnfitDecorated, ""},
        {"no exports at all", "Bare", "noexports.dll", "noexports", MUnfitNoEntryPoints, ""},
        {"no SetStartupInfo", "NoStart", "nostartup.dll", "nostartup", MNoStartup, ""},
        {"a DLL that is nowhere", "NeedsDll", "needsdll.dll", "needsdll", MUnfitMissingDll, ""},
        {"a function the system lacks", "NeedsCall", "needscall.dll", "needscall", MUnfitMissingImport,
         "VantorelMadeUpCall (KERNEL32.dll)"},
    };
    for (const Row& r : rows) {
        std::string rel = std::string(r.folder) + "\\";
        if (r.fixture)
            addFixture(r.fixture, rel);
        else if (std::string(r.folder) == "Noise")
            addFakeDll(rel + r.dll, noise());
        else
            addFakeDll(rel + r.dll, readFile(fixtureDir("recorder") + "recorder.dll").substr(0, 4096));
    }
    start();
    openList();
    for (const Row& r : rows) {
        farhost::MessageCall box = pressF3On(pluginsDir() + r.folder);
        SCOPED_TRACE(std::string(r.what) + shown(box));
        ASSERT_GE(box.lines.size(), 4u);
        EXPECT_EQ(std::string("Vantorel: ") + r.folder, box.lines[0]);   // the plugin's name
        EXPECT_EQ("", box.helpTopic);
        EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
        std::string tail = std::string(r.folder) + "\\" + r.dll;
        ASSERT_GT(box.lines[1].size(), tail.size());
        EXPECT_EQ(tail, box.lines[1].substr(box.lines[1].size() - tail.size()));
        for (const std::string& line : box.lines) EXPECT_LE(line.size(), kBoxWidth) << line;
        // Without SetStartupInfo the host still keeps the DLL (seen in the released host).
        std::string fate = r.reason == MInfoFit ? text(MInfoFit) : text(r.reason == MNoStartup ? MInfoFitBut : MInfoUnfit);
        auto at = std::find(box.lines.begin(), box.lines.end(), fate);
        ASSERT_NE(box.lines.end(), at);
        if (r.reason == MUnfitMissingDll) {
            ASSERT_NE(box.lines.end(), at + 1);
            EXPECT_EQ(text(MUnfitMissingDll) + " vtabsent.dll", *(at + 1));
        } else if (r.reason != MInfoFit) {
            ASSERT_NE(box.lines.end(), at + 1);
            EXPECT_EQ(text(r.reason), *(at + 1));
        }
        if (!r.detail.empty()) {
            ASSERT_NE(box.lines.end(), at + 2);
            EXPECT_EQ(r.detail, *(at + 2));
        }
        // Read from the file: nothing was loaded to find out.
        EXPECT_FALSE(moduleLoaded(r.dll));
    }
}

TEST_F(PluginInfoTest, TheBoxListsTheEntryPointsTheHostWouldCall) {
    addFixture("recorder", "Rec\\");
    addFixture("paneldecorated", "Decorated\\");
    start();
    openList();
    EXPECT_TRUE(has(pressF3On(pluginsDir() + "Rec"),
                    text(MInfoEntryPoints) + ": SetStartupInfo, GetPluginInfo, Configure"));
    // Decorated names are none the host would find.
    EXPECT_TRUE(has(pressF3On(pluginsDir() + "Decorated"), text(MInfoEntryPoints) + ": " + text(MInfoNone)));
}

TEST_F(PluginInfoTest, ALoadedPluginShowsItsCacheEntryAndWhatVersionItAsksFor) {
    addFixture("recorder", "Rec\\");
    FarSetup setup;
    setup.loadAll = true;
    setup.leaveUnloaded = {"recorder.dll"};
    start(setup);
    openList();

    // Vantorel itself: loaded by the host, in its cache, and asking for 1.70.
    farhost::MessageCall self = pressF3On(selfItem());
    SCOPED_TRACE(shown(self));
    EXPECT_TRUE(has(self, text(MInfoLoaded)));
    EXPECT_TRUE(has(self, text(MInfoMinVersion) + " 1.70"));
    // The host's cache entry in words: it was written for this very file.
    EXPECT_TRUE(has(self, text(MInfoCacheEntry) + ": " + text(MInfoCacheThisFile)));

    farhost::MessageCall rec = pressF3On(pluginsDir() + "Rec");
    SCOPED_TRACE(shown(rec));
    EXPECT_TRUE(has(rec, text(MInfoNotLoaded)));
    EXPECT_TRUE(has(rec, text(MInfoNoCacheEntry)));
}

TEST_F(PluginInfoTest, ADllGoneSinceTheListWasBuiltCannotBeRead) {
    addFixture("nostartup", "Gone\\");
    start();
    openList();
    ASSERT_TRUE(DeleteFileA((pluginsDir() + "Gone\\nostartup.dll").c_str()));
    farhost::MessageCall box = pressF3On(pluginsDir() + "Gone");
    SCOPED_TRACE(shown(box));
    EXPECT_TRUE(has(box, text(MUnfitUnreadable)));
}

TEST_F(PluginInfoTest, ALongPathLosesItsMiddleNotItsEnds) {
    std::string folder(120, 'x');
    addFixture("recorder", folder + "\\");
    start();
    openList();
    farhost::MessageCall box = pressF3On(pluginsDir() + folder);
    ASSERT_GE(box.lines.size(), 2u);
    const std::string& path = box.lines[1];
    EXPECT_EQ(kBoxWidth, path.size());
    EXPECT_EQ(pluginsDir().substr(0, 20), path.substr(0, 20));
    EXPECT_EQ("xxx\\recorder.dll", path.substr(path.size() - 16));
    EXPECT_NE(std::string::npos, path.find("..."));
}

TEST_F(PluginInfoTest, AnImportedDllIsLookedForOnThePathAndReadNotLoaded) {
    // vtabsent.dll now lies in a folder of PATH, but it is another DLL that
    // does not export what the plugin imports from it.
    addFixture("needsdll", "NeedsDll\\");
    std::string lib = dir / "Lib";
    ASSERT_TRUE(writeFile(lib + "\\vtabsent.dll", readFile(fixtureDir("noexports") + "noexports.dll")));
    char saved[32768];
    DWORD length = GetEnvironmentVariableA("PATH", saved, sizeof saved);
    ASSERT_LT(length, sizeof saved);
    SetEnvironmentVariableA("PATH", (std::string(saved) + ";" + lib).c_str());
    start();
    openList();
    farhost::MessageCall box = pressF3On(pluginsDir() + "NeedsDll");
    SetEnvironmentVariableA("PATH", saved);
    SCOPED_TRACE(shown(box));
    auto at = std::find(box.lines.begin(), box.lines.end(), text(MUnfitMissingImport));
    ASSERT_NE(box.lines.end(), at);
    ASSERT_NE(box.lines.end(), at + 1);
    EXPECT_EQ("AbsentHelper (vtabsent.dll)", *(at + 1));
    EXPECT_FALSE(moduleLoaded("vtabsent.dll"));
}
