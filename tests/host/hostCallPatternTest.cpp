// The emulator calls plugins where and how the released host does. The record
// tests/host/data/realhost-far170-b2087-calls.log is what a logging plugin of
// ours (fixtures/calllog) wrote in FAR 1.70 build 2087 for one key script;
// the same plugin and keys run here, and the two logs must agree call for
// call where the host is deterministic. Repeated GetOpenPluginInfo calls,
// redraws and idle events depend on the host's screen and timing: a run of
// them is compared by what it holds (a redraw or not) and by a range of
// GetOpenPluginInfo calls.
#include "hostTree.h"

#include <functional>

using namespace testing_support;
using namespace farhost;

namespace {

// One step of a log: a line compared as it is, or a run of the host's
// repeated calls.
struct Step {
    std::string line;          // empty for a run
    int infoCalls = 0;         // a run: GetOpenPluginInfo calls at the outer level
    bool redraw = false;       // a run: holds ProcessEvent(FE_REDRAW)
    int idle = 0;              // a run: ProcessEvent(FE_IDLE) calls
};

bool startsWith(const std::string& s, const char* prefix) { return s.compare(0, strlen(prefix), prefix) == 0; }

// What of the host's own file panel differs from machine to machine.
std::string maskFilePanel(std::string line) {
    if (line.find(" Plugin=0 ") == std::string::npos) return line;
    for (const char* field : {"ItemsNumber=", "CurrentItem=", "CurDir="}) {
        size_t at = line.find(field);
        if (at == std::string::npos) continue;
        size_t end = line.find(' ', at);
        line.replace(at, (end == std::string::npos ? line.size() : end) - at, std::string(field) + "*");
    }
    return line;
}

std::vector<Step> steps(const std::vector<std::string>& lines) {
    std::vector<Step> out;
    for (std::string line : lines) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        bool info = startsWith(line, "GetOpenPluginInfo ") && line.find(" depth=1") != std::string::npos;
        bool redraw = line == "ProcessEvent Event=1 Param=null";
        bool idle = line == "ProcessEvent Event=2 Param=null";
        if (!info && !redraw && !idle) {
            out.push_back(Step{maskFilePanel(line)});
            continue;
        }
        if (out.empty() || !out.back().line.empty()) out.push_back(Step{});
        out.back().infoCalls += info;
        out.back().redraw = out.back().redraw || redraw;
        out.back().idle += idle;
    }
    // A run of idle events alone is the host waiting: when it happens is timing.
    std::vector<Step> kept;
    for (const Step& s : out)
        if (!s.line.empty() || s.infoCalls || s.redraw) kept.push_back(s);
    return kept;
}

std::string describe(const Step& s) {
    if (!s.line.empty()) return s.line;
    return "(GetOpenPluginInfo x" + std::to_string(s.infoCalls) + (s.redraw ? ", redraw" : "") + ")";
}

std::string listing(const std::vector<Step>& all) {
    std::string out;
    for (size_t i = 0; i < all.size(); ++i) out += std::to_string(i) + ": " + describe(all[i]) + "\n";
    return out;
}

// The logger's line for the other panel's record (F2), the last one.
std::string otherPanelLine(const std::vector<std::string>& log) {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
        if (it->find("the other panel") != std::string::npos) return *it;
    return "(no line for the other panel)";
}

int idleEvents(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& l : lines) n += startsWith(l, "ProcessEvent Event=2");
    return n;
}

class HostCallPatternTest : public HostTree {
protected:
    // Loads a call logger the way the released host did for the recorded
    // run: at start, then its disk menu item opens its panel.
    Panel* openFromDiskMenu(const std::string& fixture) { return HostTree::openFromDiskMenu(fixture, "CallLog"); }

    // The logger's calls in the emulator against the released host's record.
    void compareWithReleasedHost(const std::string& fixture, const char* record) {
        std::vector<std::string> real =
            readLines(std::string(VANTOREL_SOURCE_DIR_W) + "\\tests\\host\\data\\" + record);
        ASSERT_FALSE(real.empty()) << record;
        ASSERT_TRUE(startsWith(real[0], "# Calls of FAR 1.70 build 2087")) << record;
        std::vector<std::string> emulated = readLog("CallLog\\" + fixture + ".dll");
        std::vector<Step> want = steps(real), got = steps(emulated);
        ASSERT_EQ(want.size(), got.size()) << "released host:\n" << listing(want) << "emulator:\n" << listing(got);
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(want[i].line, got[i].line) << "step " << i;
            EXPECT_EQ(want[i].redraw, got[i].redraw) << "step " << i << ": " << describe(want[i]);
            // A call at least where the host made any, and not many more than it made (the host draws its
            // first screen more than once, as its timing goes).
            EXPECT_EQ(want[i].infoCalls > 0, got[i].infoCalls > 0) << "step " << i;
            EXPECT_LE(got[i].infoCalls, want[i].infoCalls + 2) << "step " << i << ": " << describe(want[i]);
        }
        // The host had idle time between the keys, in both.
        EXPECT_GE(idleEvents(real), 2);
        EXPECT_GE(idleEvents(emulated), 2);
    }
};

TEST_F(HostCallPatternTest, TheEmulatorCallsAPluginAsTheReleasedHostDidForTheSameKeys) {
    // Start, Alt+F1 and the plugin's item, Down, Enter, PgUp, Enter, F2, F10 answered Yes.
    Panel* panel = openFromDiskMenu("calllog");
    ASSERT_NE(nullptr, panel);
    for (int vk : {VK_DOWN, VK_RETURN, VK_PRIOR, VK_RETURN, VK_F2, VK_F10}) panel->key(vk);
    ASSERT_TRUE(host->quit());
    EXPECT_TRUE(host->faults.empty());
    compareWithReleasedHost("calllog", "realhost-far170-b2087-calls.log");
}

// Keys with Ctrl: the modifier going down and up reaches the plugin as the
// idle key too; the host's re-read and sort keys draw the panel again.
TEST_F(HostCallPatternTest, KeysWithAModifierAsTheReleasedHostMadeOfThem) {
    Panel* panel = openFromDiskMenu("calllog");
    ASSERT_NE(nullptr, panel);
    panel->key('R', PKF_CONTROL);
    panel->key(VK_F3, PKF_CONTROL);
    panel->key(VK_F10);
    ASSERT_TRUE(host->quit());
    compareWithReleasedHost("calllog", "realhost-far170-b2087-mods.log");
}

// A key taken when it is offered preprocessed goes no further: no plain
// call, no move. A panel that refuses FE_CLOSE keeps the host running; the
// next quit closes it.
TEST_F(HostCallPatternTest, APreprocessedKeyTakenAndAQuitRefusedAreWhatTheReleasedHostMadeOfThem) {
    Panel* panel = openFromDiskMenu("calllogclaim");
    ASSERT_NE(nullptr, panel);
    int cursor = panel->current();
    EXPECT_EQ(1, panel->key(VK_DOWN));
    EXPECT_EQ(cursor, panel->current());
    panel->key(VK_F10);
    EXPECT_FALSE(host->quit());
    EXPECT_FALSE(panel->closed());
    panel->key(VK_F10);
    EXPECT_TRUE(host->quit());
    EXPECT_TRUE(panel->closed());
    compareWithReleasedHost("calllogclaim", "realhost-far170-b2087-claim.log");
}

// Tab belongs to the host: FAR 1.70 build 2087 offered it to the call logger
// preprocessed only, never plainly.
TEST_F(HostCallPatternTest, TabIsOfferedToThePluginOnlyPreprocessed) {
    Panel* panel = openFromDiskMenu("calllog");
    ASSERT_NE(nullptr, panel);
    panel->key(VK_TAB);
    std::vector<std::string> log = readLog("CallLog\\calllog.dll");
    int preprocessed = 0, plain = 0;
    for (const std::string& line : log) {
        preprocessed += line == "ProcessKey Key=0x80009 ControlState=0x0";
        plain += line == "ProcessKey Key=0x9 ControlState=0x0";
    }
    EXPECT_EQ(1, preprocessed);
    EXPECT_EQ(0, plain);
}

// FCTL_GETANOTHERPANELINFO with a plugin's panel in the other half: Plugin
// is 1, and that panel's plugin is asked GetOpenPluginInfo inside the call.
TEST_F(HostCallPatternTest, TheOtherHalfHeldByAPluginIsReportedAndItsPluginAskedInside) {
    addFixture("calllogclaim", "Other\\");
    Panel* panel = openFromDiskMenu("calllog");
    ASSERT_NE(nullptr, panel);
    Plugin* other = host->load(pluginsDir() + "Other\\calllogclaim.dll");
    ASSERT_NE(nullptr, other);
    ASSERT_NE(nullptr, host->openOtherPanel(other));
    EXPECT_EQ(other, host->otherHalf()->plugin());
    size_t seen = readLog("Other\\calllogclaim.dll").size();

    panel->key(VK_F2);

    std::string line = otherPanelLine(readLog("CallLog\\calllog.dll"));
    EXPECT_NE(std::string::npos, line.find("the other panel = 1 written=496 Plugin=1 ItemsNumber=4 CurrentItem=0 "
                                           "ViewMode=2 SortMode=2 Flags=0x1 CurDir=\"\""))
        << line;
    std::vector<std::string> theirs = readLog("Other\\calllogclaim.dll");
    EXPECT_EQ((std::vector<std::string>{"ProcessEvent Event=2 Param=null", "GetOpenPluginInfo StructSize=0 depth=1"}),
              std::vector<std::string>(theirs.begin() + seen, theirs.end()));
}

}  // namespace
