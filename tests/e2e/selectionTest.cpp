// Unload, uninstall and Shift+F6 act on the selected plugins when any are
// selected, as FAR's own commands do, with one question naming them all;
// the plugin under the cursor is left alone then.
#include "harness.h"

using namespace testing_support;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A path line, shortened in its middle to the box's width: its end is kept.
bool namesPath(const std::vector<std::string>& lines, const std::string& tail) {
    for (const std::string& line : lines)
        if (line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0) return true;
    return false;
}

}  // namespace

class SelectionTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    // Alpha and Beta selected, the cursor on Gamma; all three loaded.
    void openWithTwoSelected(const FarBuild& build) {
        addFixture("calllogall", "Alpha\\");
        addFixture("recorder", "Beta\\");
        addFixture("helperuser", "Gamma\\");
        FarSetup setup;
        setup.loadAll = true;
        setup.far175 = build.far175;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        for (const char* name : {"Alpha", "Beta"}) {
            ASSERT_TRUE(panel->setCurrentByName(name));
            panel->key(VK_INSERT, 0);
        }
        ASSERT_TRUE(panel->setCurrentByName("Gamma"));
        host->clearTranscript();
    }
    const farhost::MessageCall& question() const { return host->messages.at(0); }
    bool loaded(const std::string& rel) const { return moduleLoaded(pluginsDir() + rel); }
    void finish() {
        host.reset();
        removeTree(pluginsDir());
    }
};

TEST_F(SelectionTest, UninstallTakesTheSelectedPluginsAllOrNothing) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        openWithTwoSelected(build);
        host->answerMessages({0});
        panel->key(VK_F8, 0);
        ASSERT_FALSE(host->messages.empty());
        EXPECT_EQ(text(MAskUninstallMany), question().lines.at(1));
        EXPECT_TRUE(namesPath(question().lines, "\\Plugins\\Alpha"));
        EXPECT_TRUE(namesPath(question().lines, "\\Plugins\\Beta"));
        EXPECT_FALSE(namesPath(question().lines, "\\Plugins\\Gamma"));
        EXPECT_FALSE(fileExists(pluginsDir() + "Alpha"));
        EXPECT_FALSE(fileExists(pluginsDir() + "Beta"));
        EXPECT_TRUE(fileExists(pluginsDir() + "Gamma\\helperuser.dll"));
        EXPECT_TRUE(loaded("Gamma\\helperuser.dll"));
        finish();

        // A file in the way in one of them: neither goes, and both stay loaded.
        openWithTwoSelected(build);
        ASSERT_TRUE(writeFile(pluginsDir() + "Beta\\locked.txt", "held"));
        HANDLE held = CreateFileA((pluginsDir() + "Beta\\locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        host->answerMessages({0});
        panel->key(VK_F8, 0);
        CloseHandle(held);
        EXPECT_TRUE(contains(host->messages.back().lines, text(MNothingRemoved)));
        EXPECT_TRUE(fileExists(pluginsDir() + "Alpha\\calllogall.dll"));
        EXPECT_TRUE(loaded("Alpha\\calllogall.dll"));
        EXPECT_TRUE(loaded("Beta\\recorder.dll"));
        finish();
    }
}

TEST_F(SelectionTest, UnloadAndReloadTakeTheSelectedPlugins) {
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        openWithTwoSelected(build);
        host->answerMessages({0});
        panel->key(VK_F8, PKF_SHIFT);
        ASSERT_FALSE(host->messages.empty());
        EXPECT_EQ(text(MAskUnloadMany), question().lines.at(1));
        EXPECT_TRUE(namesPath(question().lines, "\\Plugins\\Alpha\\calllogall.dll"));
        EXPECT_TRUE(namesPath(question().lines, "\\Plugins\\Beta\\recorder.dll"));
        EXPECT_FALSE(loaded("Alpha\\calllogall.dll"));
        EXPECT_FALSE(loaded("Beta\\recorder.dll"));
        EXPECT_TRUE(loaded("Gamma\\helperuser.dll"));

        // The update panel keeps what FAR's selection was; select both again.
        for (const char* name : {"Alpha", "Beta"}) {
            ASSERT_TRUE(panel->setCurrentByName(name));
            for (const auto& e : panel->items())
                if (e.name == pluginsDir() + name && !(e.raw.Flags & PPIF_SELECTED)) panel->key(VK_INSERT, 0);
        }
        ASSERT_TRUE(panel->setCurrentByName("Gamma"));
        host->clearTranscript();
        host->answerMessages({0});
        panel->key(VK_F6, PKF_SHIFT);
        ASSERT_FALSE(host->messages.empty());
        EXPECT_EQ(text(MAskReloadMany), question().lines.at(1)) << testing::PrintToString(question().lines);
        EXPECT_EQ(1u, host->findPlugin("calllogall.dll")->record()->workFlags);
        EXPECT_EQ(1u, host->findPlugin("recorder.dll")->record()->workFlags);
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        finish();
    }
}

// A command on a selection does what it can: of three plugins selected, the
// one that cannot be acted on is left with its reason, in one box at the
// end, and the others are acted on.
TEST_F(SelectionTest, EachSelectedPluginIsActedOnOrLeftWithItsReason) {
    openWithTwoSelected(FAR_BUILDS[0]);
    // Alpha and Beta unloaded, Gamma still loaded; then all three selected.
    host->answerMessages({0});
    panel->key(VK_F8, PKF_SHIFT);
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        ASSERT_TRUE(panel->setCurrentByName(name));
        for (const auto& e : panel->items())
            if (e.name == pluginsDir() + name && !(e.raw.Flags & PPIF_SELECTED)) panel->key(VK_INSERT, 0);
    }
    host->clearTranscript();
    host->answerMessages({0, 0});
    panel->key(VK_F6, PKF_SHIFT);
    ASSERT_EQ(2u, host->messages.size());
    EXPECT_EQ(text(MAskReloadMany), question().lines.at(1));
    EXPECT_FALSE(namesPath(question().lines, "helperuser.dll")) << "the refused one is not asked about";
    const std::vector<std::string>& told = host->messages[1].lines;
    char done[64];
    snprintf(done, sizeof done, text(MLetBackCount).c_str(), 2);
    EXPECT_EQ(done, told.at(1));
    EXPECT_EQ(text(MLeftAsTheyAre), told.at(2));
    EXPECT_EQ("helperuser.dll", told.at(3));
    EXPECT_EQ("  " + text(MReloadLoaded), told.at(4).substr(0, 2 + text(MReloadLoaded).size()));
    EXPECT_EQ(1u, host->findPlugin("calllogall.dll")->record()->workFlags) << "let back";
    EXPECT_EQ(1u, host->findPlugin("recorder.dll")->record()->workFlags) << "let back";
    EXPECT_TRUE(loaded("Gamma\\helperuser.dll"));

    // Shift+Del over the same three: only Gamma is loaded, and it is unloaded.
    ASSERT_TRUE(panel->setCurrentByName("Gamma"));
    host->clearTranscript();
    host->answerMessages({0, 0});
    panel->key(VK_F8, PKF_SHIFT);
    ASSERT_FALSE(host->messages.empty());
    EXPECT_FALSE(loaded("Gamma\\helperuser.dll")) << testing::PrintToString(host->messages[0].lines);
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
}

// One plugin or several: every question and closing box names them in the
// right number, key by key.
TEST_F(SelectionTest, EveryQuestionAndClosingBoxSpeaksOfOneOrSeveral) {
    const struct {
        const char* what;
        int vk;
        unsigned state;
        std::vector<int> answers;              // to the question (0 Yes, 1 No) and a closing box
        std::vector<std::pair<int, int>> said;   // a line for one plugin, and for several
    } keys[] = {
        {"Shift+Del", VK_F8, PKF_SHIFT, {1}, {{MAskUnload1, MAskUnloadMany}, {MUnloadBackWithReload, MUnloadBackWithReloadMany}}},
        {"F8", VK_F8, 0, {1}, {{MAskUninstall, MAskUninstallMany}}},
        {"Alt+F5 off", VK_F5, PKF_ALT, {0},
         {{MAskSwitchOff, MAskSwitchOffMany}, {MSwitchOffKeeps, MSwitchOffKeepsMany},
          {MSwitchUnloadsFirst, MSwitchUnloadsFirstMany}}},
        {"Alt+F5 on", VK_F5, PKF_ALT, {0, 0}, {{MAskSwitchOn, MAskSwitchOnMany}, {MSwitchedOnNextUse, MSwitchedOnNextUseMany}}},
    };
    for (bool several : {false, true}) {
        SCOPED_TRACE(several ? "several" : "one");
        openWithTwoSelected(FAR_BUILDS[0]);
        for (const auto& k : keys) {
            SCOPED_TRACE(k.what);
            // Alpha and Beta selected, or none and the cursor on Alpha.
            for (const char* name : {"Alpha", "Beta"}) {
                ASSERT_TRUE(panel->setCurrentByName(name));
                for (const auto& e : panel->items())
                    if (e.name == pluginsDir() + name && several != ((e.raw.Flags & PPIF_SELECTED) != 0))
                        panel->key(VK_INSERT, 0);
            }
            ASSERT_TRUE(panel->setCurrentByName(several ? "Gamma" : "Alpha"));
            host->clearTranscript();
            for (int answer : k.answers) host->answerMessages({answer});
            panel->key(k.vk, k.state);
            std::vector<std::string> lines;
            for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
            for (const auto& said : k.said) {
                const std::string right = text(several ? said.second : said.first);
                const std::string wrong = text(several ? said.first : said.second);
                EXPECT_TRUE(std::find(lines.begin(), lines.end(), right) != lines.end())
                    << right << " in " << testing::PrintToString(lines);
                EXPECT_TRUE(std::find(lines.begin(), lines.end(), wrong) == lines.end()) << wrong;
            }
        }
        finish();
    }
}
