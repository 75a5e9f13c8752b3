// Vantorel under the calls the released host makes (see the emulator's own
// tests/host/hostCallPatternTest.cpp): what its panel tells another plugin,
// and its commands under keys offered twice.
#include "harness.h"

#include <functional>

using namespace testing_support;
using namespace farhost;

namespace {

// The call logger's line for the other panel's record (F2), the last one.
std::string otherPanelLine(const std::vector<std::string>& log) {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
        if (it->find("the other panel") != std::string::npos) return *it;
    return "(no line for the other panel)";
}

class CallPatternTest : public HostTest {};

// Vantorel's list in the other half, as FAR 1.70 build 2087 reported it to
// the call logger: a plugin's panel with real names (Flags 0x21).
TEST_F(CallPatternTest, VantorelsPanelInTheOtherHalfHasRealNames) {
    Panel* panel = openFromDiskMenu("calllog", "CallLog");
    ASSERT_NE(nullptr, panel);
    ASSERT_TRUE(copyFolderFiles(distDir(), pluginsDir() + "Vantorel\\"));
    Plugin* vantorelPlugin = host->load(pluginsDir() + "Vantorel\\Vantorel.dll");
    ASSERT_NE(nullptr, vantorelPlugin) << host->lastError();
    ASSERT_NE(nullptr, host->openOtherPanel(vantorelPlugin));

    panel->key(VK_F2);

    std::string line = otherPanelLine(readLog("CallLog\\calllog.dll"));
    EXPECT_NE(std::string::npos, line.find("the other panel = 1 written=496 Plugin=1 ")) << line;
    EXPECT_NE(std::string::npos, line.find(" SortMode=2 Flags=0x21 CurDir=\"\"")) << line;
}

// Every key reaches ProcessKey twice, first with PKF_PREPROCESS added: each
// of Vantorel's commands must run on the plain call alone, once per key.
TEST_F(CallPatternTest, EachOfVantorelsKeysRunsItsCommandOncePerKey) {
    addFixture("recorder", "Rec\\");
    FarSetup setup;
    setup.loadAll = true;
    start(setup);
    Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    ASSERT_TRUE(panel->setCurrentByName("Rec"));
    auto count = [&](const char* text) {
        int n = 0;
        for (const std::string& line : host->transcript) n += line.find(text) != std::string::npos;
        return n;
    };
    auto configured = [&] {
        int n = 0;
        for (const std::string& line : readLog("Rec\\recorder.dll")) n += line.compare(0, 9, "Configure") == 0;
        return n;
    };
    struct Case {
        const char* name;
        int vk;
        unsigned state;
        std::function<int()> runs;   // how often the key's command ran
    };
    const Case cases[] = {
        {"ShiftDel", VK_DELETE, PKF_SHIFT, [&] { return static_cast<int>(host->messages.size()); }},
        {"ShiftF8", VK_F8, PKF_SHIFT, [&] { return static_cast<int>(host->messages.size()); }},
        {"ShiftF1", VK_F1, PKF_SHIFT, [&] { return static_cast<int>(host->helps.size()); }},
        {"F4", VK_F4, 0, configured},
        {"ShiftF5", VK_F5, PKF_SHIFT, [&] { return count("Control(FCTL_UPDATEPANEL"); }},
        {"ShiftF7", VK_F7, PKF_SHIFT, [&] { return static_cast<int>(host->messages.size()); }},
    };
    for (const Case& c : cases) {
        host->clearTranscript();
        host->defaultAnswer = 1;   // No, to the unload question
        int before = c.runs();
        EXPECT_EQ(1, panel->key(c.vk, c.state)) << c.name;
        // Left to the host when preprocessed, taken on the plain call.
        EXPECT_EQ(1, count(("> ProcessKey(PKF_PREPROCESS|" + std::string(c.name) + ") = 0").c_str())) << c.name;
        EXPECT_EQ(1, count(("> ProcessKey(" + std::string(c.name) + ") = 1").c_str())) << c.name;
        EXPECT_EQ(before + 1, c.runs()) << c.name;
    }
}

}  // namespace
