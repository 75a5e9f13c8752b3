// F3 on a plugin in the list: a box with what the DLL's file tells, and why
// the FAR it runs in would not take it as a plugin, for each kind of DLL it
// refuses or keeps without its services.
// The DLLs are real files built by the test build; none of them is loaded.
#include "harness.h"
#include "../../src/ui/messages.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const char kHostCache[] = "SOFTWARE\\Far\\PluginsCache";
const size_t kBoxWidth = 64;   // FAR cuts longer box lines at 80 columns
const char kGoesOn[] = "   ";  // a line that goes on with the text of the one above

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
        host->clearTranscript();
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
        host->clearTranscript();
        panel->key(VK_F3, 0);
        EXPECT_EQ(1u, host->messages.size()) << item;
        return host->messages.empty() ? farhost::MessageCall() : host->messages.back();
    }
    // The box's texts, each put together again from the lines it was wrapped into.
    static std::vector<std::string> texts(const farhost::MessageCall& box) {
        std::vector<std::string> out;
        for (const std::string& line : box.lines)
            if (!out.empty() && line.compare(0, 3, kGoesOn) == 0)
                out.back() += line.substr(3);
            else
                out.push_back(line);
        return out;
    }
    static bool has(const farhost::MessageCall& box, const std::string& text) {
        std::vector<std::string> all = texts(box);
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    static std::string shown(const farhost::MessageCall& box) {
        std::string all;
        for (const std::string& l : box.lines) all += "\n  " + l;
        return all;
    }
};

TEST_F(PluginInfoTest, TheBoxSaysWhyTheHostCannotUseEachKindOfDll) {
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
        {"a function the system lacks", "NeedsCall", "needscall.dll", "needscall", MUnfitMissingImport, ""},
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
        std::vector<std::string> all = texts(box);
        EXPECT_EQ(pluginsDir() + r.folder + "\\" + r.dll, all[1]);   // the whole path, wrapped
        for (const std::string& line : box.lines) EXPECT_LE(line.size(), kBoxWidth) << line;
        // Without SetStartupInfo the host still keeps the DLL (seen in the released host).
        std::string fate = r.reason == MInfoFit ? text(MInfoFit) : text(r.reason == MNoStartup ? MInfoFitBut : MInfoUnfit);
        auto at = std::find(all.begin(), all.end(), fate);
        ASSERT_NE(all.end(), at);
        if (r.reason == MUnfitMissingDll) {
            ASSERT_NE(all.end(), at + 1);
            EXPECT_EQ(text(MUnfitMissingDll) + " vtabsent.dll", *(at + 1));
        } else if (r.reason == MUnfitMissingImport) {
            ASSERT_NE(all.end(), at + 1);
            EXPECT_EQ(text(MUnfitMissingImport) + " VantorelMadeUpCall (KERNEL32.dll)", *(at + 1));
        } else if (r.reason != MInfoFit) {
            ASSERT_NE(all.end(), at + 1);
            EXPECT_EQ(text(r.reason), *(at + 1));
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

TEST_F(PluginInfoTest, ADllGoneSinceTheListWasBuiltIsSaidToBeGone) {
    addFixture("nostartup", "Gone\\");
    start();
    openList();
    ASSERT_TRUE(DeleteFileA((pluginsDir() + "Gone\\nostartup.dll").c_str()));
    farhost::MessageCall box = pressF3On(pluginsDir() + "Gone");
    SCOPED_TRACE(shown(box));
    EXPECT_TRUE(has(box, text(MUnfitGone)));
    EXPECT_FALSE(has(box, text(MUnfitUnreadable)));
}

// Nothing of a long text is lost: it goes on in the next lines, a path
// broken after a backslash, a word whole where there is room.
TEST_F(PluginInfoTest, LongTextsWrapWithoutLoss) {
    std::string folder(120, 'x');
    addFixture("recorder", folder + "\\");
    start();
    openList();
    farhost::MessageCall box = pressF3On(pluginsDir() + folder);
    SCOPED_TRACE(shown(box));
    ASSERT_GE(box.lines.size(), 4u);
    for (const std::string& line : box.lines) EXPECT_LE(line.size(), kBoxWidth) << line;
    EXPECT_EQ("Vantorel: " + folder, texts(box)[0]);
    EXPECT_EQ(pluginsDir() + folder + "\\recorder.dll", texts(box)[1]);
    // The path's first line ends at a backslash, not inside a name.
    size_t pathStart = 0;
    for (size_t i = 1; i < box.lines.size() && !pathStart; ++i)
        if (box.lines[i].compare(0, 3, kGoesOn) != 0) pathStart = i;
    EXPECT_EQ('\\', box.lines[pathStart].back()) << box.lines[pathStart];
}

// The box speaks of the FAR it runs in, as FAR answers its version.
TEST_F(PluginInfoTest, TheBoxNamesTheFarItRunsIn) {
    for (bool far175 : {false, true}) {
        SCOPED_TRACE(far175 ? "FAR 1.75" : "FAR 1.70");
        host.reset();
        addFixture("dialogevent", "Dialog\\");
        FarSetup setup;
        setup.far175 = far175;
        start(setup);
        openList();
        farhost::MessageCall box = pressF3On(pluginsDir() + "Dialog");
        SCOPED_TRACE(shown(box));
        std::string version = far175 ? "FAR 1.75" : "FAR 1.70";
        EXPECT_TRUE(has(box, version + " can use it as a plugin"));
        EXPECT_TRUE(has(box, version + " entry points: SetStartupInfo, GetPluginInfo, ProcessDialogEvent"));
        // FAR 1.70 never calls it; FAR 1.75 does, and there is nothing to say.
        EXPECT_EQ(!far175, has(box, text(MInfoDialogEvent)));
        for (const std::string& line : texts(box)) EXPECT_EQ(std::string::npos, line.find(far175 ? "1.70" : "1.75 c")) << line;
        host.reset();
        ASSERT_TRUE(removeTree(pluginsDir() + "Dialog"));
    }
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
    EXPECT_TRUE(has(box, text(MUnfitMissingImport) + " AbsentHelper (vtabsent.dll)"));
    EXPECT_FALSE(moduleLoaded("vtabsent.dll"));
}
