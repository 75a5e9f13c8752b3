// Shift+F3 finds the plugin behind a fault: half of the suspects are
// switched off at each step, the user tries the fault and answers, and at
// the end (or on Esc, or after FAR restarted) every plugin is switched on or
// off as before, with FAR's records agreeing. The fault here is a plugin's
// mark: a line its log gains when the editor hands it an event.
#include "harness.h"

#include <map>

using namespace testing_support;

namespace {

constexpr int PLUGINS = 20;
constexpr int EDITOR_EVENT_READ = 0;

std::string folderName(int i) {
    char name[8];
    snprintf(name, sizeof name, "P%02d", i + 1);
    return name;
}
std::string dllName(int i) {
    char name[12];
    snprintf(name, sizeof name, "p%02d.dll", i + 1);
    return name;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

class FaultSearchTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::set<int> faulty;
    int answers = 0;

    std::string dllPath(int i) const { return pluginsDir() + folderName(i) + "\\" + dllName(i); }
    std::string folder(int i) const { return pluginsDir() + folderName(i); }

    void makeTree(int extraOff = -1) {
        for (int i = 0; i < PLUGINS; ++i)
            ASSERT_TRUE(copyFile(fixtureDir("calllogall") + "calllogall.dll", dllPath(i)));
        // A plugin the user switched off before: the search leaves it alone.
        if (extraOff >= 0) {
            ASSERT_TRUE(MoveFileA(dllPath(extraOff).c_str(), (dllPath(extraOff) + ".off").c_str()));
        }
    }
    void openList(bool warm, bool far175 = false) {
        FarSetup setup;
        setup.loadAll = true;
        setup.warm = warm;
        setup.far175 = far175;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }

    // The user tries the fault: the editor opens a file. True when a faulty
    // plugin left its mark.
    bool tryFault() {
        std::vector<size_t> before;
        for (int i : faulty) before.push_back(readLog(folderName(i) + "\\" + dllName(i)).size());
        host->editorEvent(EDITOR_EVENT_READ);
        size_t k = 0;
        bool marked = false;
        for (int i : faulty) marked |= readLog(folderName(i) + "\\" + dllName(i)).size() > before[k++];
        return marked;
    }

    // Shift+F3 with these answers; the lines of every box shown.
    std::vector<std::string> press(std::initializer_list<int> answers, std::initializer_list<int> menu = {}) {
        host->clearTranscript();
        host->answerMessages(answers);
        for (int m : menu) host->queueMenuAnswer(m);
        panel->key(VK_F3, PKF_SHIFT);
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    // Starts a search of every plugin; required are indexes that must stay on.
    std::vector<std::string> startSearch(std::vector<int> required = {}) {
        std::vector<int> menu;
        // The menu lists the folders by path, after "Start" and a separator;
        // those the user switched off are left out.
        std::vector<std::string> order;
        for (int i = 0; i < PLUGINS; ++i)
            if (!isOff(i)) order.push_back(folder(i));
        for (int r : required) {
            auto at = std::find(order.begin(), order.end(), folder(r));
            menu.push_back(2 + static_cast<int>(at - order.begin()));
        }
        host->clearTranscript();
        host->answerMessages({0});
        for (int m : menu) host->queueMenuAnswer(m);
        host->queueMenuAnswer(0);
        panel->key(VK_F3, PKF_SHIFT);
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    // One answer: the user tries the fault and says what came. The lines shown.
    std::vector<std::string> answerOnce() {
        bool fault = tryFault();
        ++answers;
        return press({fault ? 0 : 1, 0});
    }
    // Answers until the search names its end; the folder it names ("" for none alone).
    std::string runToEnd(std::vector<std::string> lines = {}) {
        for (int guard = 0; guard < 12; ++guard) {
            lines = answerOnce();
            auto at = std::find(lines.begin(), lines.end(), text(MSearchFound));
            if (at != lines.end()) return at + 1 != lines.end() ? *(at + 1) : "?";
            if (contains(lines, text(MSearchNoneAlone))) return "";
            if (!contains(lines, text(MSearchTryNow))) return "<no step: " + testing::PrintToString(lines) + ">";
        }
        return "<no end>";
    }
    // Whether a box line names plugin i's folder (a long path is shortened in its middle).
    bool names(const std::string& line, int i) const {
        std::string tail = "\\Plugins\\" + folderName(i);
        return line == folder(i) || (line.size() >= tail.size() && line.find("...") != std::string::npos &&
                                     line.compare(line.size() - tail.size(), tail.size(), tail) == 0);
    }
    bool isOff(int i) const { return fileExists(dllPath(i) + ".off") && !fileExists(dllPath(i)); }
    std::string searchFile() const { return dir / "Far\\Vantorel.search"; }

    // What must be as before the search: every plugin's file, FAR's record
    // of it (usable or not, and its entries when known from the cache), the
    // menus FAR builds.
    std::vector<std::string> farView() {
        std::vector<std::string> view;
        for (int i = 0; i < PLUGINS; ++i) {
            std::string line = dllName(i) + (fileExists(dllPath(i)) ? " on" : "") +
                               (fileExists(dllPath(i) + ".off") ? " off" : "");
            farhost::Plugin* plugin = host->findPlugin(dllName(i));
            const farhost::PluginRecord* record = plugin ? plugin->record() : nullptr;
            if (!record) line += " no record";
            else if (record->workFlags & farhost::kWorkDontLoadAgain) line += " dropped";
            else line += " usable";
            view.push_back(line);
        }
        for (const std::string& item : host->diskMenu()) view.push_back("disk menu: " + item);
        for (const std::string& item : host->configMenu()) view.push_back("config menu: " + item);
        return view;
    }
};

// Among 20 plugins the faulty one is named after at most 5 answers, with
// F3 of it offered, and everything is as before.
TEST_F(FaultSearchTest, FindsTheFaultyPluginAmongTwentyInAtMostFiveAnswers) {
    for (int culprit : {0, 6, 13, 19}) {
        SCOPED_TRACE("faulty " + dllName(culprit));
        makeTree();
        openList(false);
        std::vector<std::string> before = farView();
        faulty = {culprit};
        answers = 0;
        std::vector<std::string> lines = startSearch();
        ASSERT_TRUE(contains(lines, text(MSearchTryNow))) << testing::PrintToString(lines);
        EXPECT_TRUE(fileExists(searchFile()));
        int off = 0;
        for (int i = 0; i < PLUGINS; ++i) off += isOff(i);
        EXPECT_EQ(10, off) << "half of the suspects";
        EXPECT_TRUE(contains(lines, "Switched off now: 10 of the 20 suspects"));
        EXPECT_TRUE(contains(lines, "Steps left: about 5"));
        EXPECT_NE(std::string::npos, panel->title().find(text(MTitleSearching))) << panel->title();

        std::string named = runToEnd();
        EXPECT_TRUE(names(named, culprit)) << named;
        EXPECT_LE(answers, 5);
        EXPECT_FALSE(fileExists(searchFile()));
        EXPECT_EQ(before, farView());
        EXPECT_EQ(std::string::npos, panel->title().find(text(MTitleSearching))) << panel->title();
        EXPECT_TRUE(tryFault()) << "the faulty plugin is back on";
        EXPECT_TRUE(host->faults.empty());
        host.reset();
        removeTree(pluginsDir());
    }
}

TEST_F(FaultSearchTest, TheEndOffersF3OfThePluginFound) {
    makeTree();
    openList(false, true);
    faulty = {4};
    startSearch();
    bool fault = false;
    host->askMessage = [&](const farhost::MessageCall& call) {
        if (contains(call.lines, text(MSearchAsk))) return fault ? 0 : 1;
        return contains(call.lines, text(MSearchFound)) ? 1 : 0;
    };
    for (int step = 0; step < 6; ++step) {
        fault = tryFault();
        std::vector<std::string> lines = press({});
        auto found = std::find_if(host->messages.begin(), host->messages.end(), [&](const farhost::MessageCall& m) {
            return contains(m.lines, text(MSearchFound));
        });
        if (found == host->messages.end()) continue;
        EXPECT_TRUE(std::any_of(found->lines.begin(), found->lines.end(),
                                [&](const std::string& line) { return names(line, 4); }));
        bool infoShown = false;
        for (auto m = found + 1; m != host->messages.end(); ++m)
            for (const std::string& line : m->lines) infoShown |= line.find(dllName(4)) != std::string::npos;
        EXPECT_TRUE(infoShown) << "F3 of the plugin found: " << testing::PrintToString(lines);
        return;
    }
    FAIL() << "no end";
}

// Two faulty plugins: one is found, and the other stays off from the answer
// that cleared it on, so that it cannot hide the first.
TEST_F(FaultSearchTest, OfTwoFaultyPluginsOneIsFoundWhileTheOtherStaysOff) {
    for (std::set<int> two : {std::set<int>{2, 15}, std::set<int>{0, 1}, std::set<int>{8, 19}}) {
        makeTree();
        openList(false);
        std::vector<std::string> before = farView();
        faulty = two;
        answers = 0;
        startSearch();
        std::string named;
        std::map<int, bool> offAtLastTry;
        for (int guard = 0; guard < 8 && named.empty(); ++guard) {
            for (int f : two) offAtLastTry[f] = isOff(f);
            std::vector<std::string> lines = answerOnce();
            auto at = std::find(lines.begin(), lines.end(), text(MSearchFound));
            if (at != lines.end()) named = *(at + 1);
            ASSERT_FALSE(contains(lines, text(MSearchNoneAlone)));
        }
        int found = *two.begin() , other = *two.rbegin();
        if (names(named, other)) std::swap(found, other);
        ASSERT_TRUE(names(named, found)) << named;
        EXPECT_TRUE(offAtLastTry[other]) << "the other faulty plugin was off when the first was named";
        EXPECT_LE(answers, 5);
        EXPECT_EQ(before, farView());
        host.reset();
        removeTree(pluginsDir());
    }
}

// A plugin marked in the menu as one the fault needs is never switched off,
// and is never named.
TEST_F(FaultSearchTest, ARequiredPluginIsNeverSwitchedOff) {
    makeTree(11);
    openList(false);
    std::vector<std::string> before = farView();
    faulty = {3};
    answers = 0;
    std::vector<std::string> lines = startSearch({7, 3});
    ASSERT_TRUE(contains(lines, text(MSearchTryNow)));
    EXPECT_TRUE(contains(lines, "Switched off now: 9 of the 17 suspects")) << testing::PrintToString(lines);
    for (int guard = 0; guard < 8; ++guard) {
        EXPECT_FALSE(isOff(7));
        EXPECT_FALSE(isOff(3));
        EXPECT_TRUE(isOff(11)) << "switched off by the user";
        lines = answerOnce();
        if (!contains(lines, text(MSearchTryNow))) break;
    }
    // The fault is with a required plugin: with every suspect off it stays.
    EXPECT_TRUE(contains(lines, text(MSearchNoneAlone))) << testing::PrintToString(lines);
    EXPECT_LE(answers, 6);
    EXPECT_EQ(before, farView());
    EXPECT_TRUE(isOff(11)) << "what the user had switched off stays off";
}

// FAR ends in the middle of a search: at the next open Vantorel offers to
// go on (and the search goes on to its end) or to put everything back.
TEST_F(FaultSearchTest, AfterARestartTheSearchGoesOnOrEverythingIsPutBack) {
    for (bool goOn : {true, false}) {
        SCOPED_TRACE(goOn ? "go on" : "put back");
        makeTree();
        openList(true);
        std::vector<std::string> before = farView();
        faulty = {9};
        answers = 0;
        startSearch();
        answerOnce();
        answerOnce();
        restart();
        host->clearTranscript();
        if (goOn) host->answerMessages({0});
        else host->answerMessages({1, 0});
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        ASSERT_TRUE(contains(lines, text(MSearchResume))) << testing::PrintToString(lines);
        if (goOn) {
            EXPECT_TRUE(fileExists(searchFile()));
            std::string named = runToEnd();
            EXPECT_TRUE(names(named, 9)) << named;
            EXPECT_LE(answers, 5);
        } else {
            EXPECT_TRUE(contains(lines, text(MSearchPutBack)));
        }
        EXPECT_FALSE(fileExists(searchFile()));
        restart();
        EXPECT_EQ(before, farView()) << "as before, after a start";
        host.reset();
        removeTree(pluginsDir());
    }
}

// Esc at the start, and at every answer of a search, changes nothing for
// good: every plugin's file, FAR's record and FAR's menus are as before.
TEST_F(FaultSearchTest, EscAtEveryStepPutsEverythingBack) {
    for (int step = 0; step <= 5; ++step) {
        SCOPED_TRACE("Esc after " + std::to_string(step) + " answers");
        makeTree();
        openList(true);
        std::vector<std::string> before = farView();
        faulty = {16};
        if (step == 0) {
            host->queueMenuAnswer(-1);
            press({});
            EXPECT_EQ(before, farView()) << "Esc in the menu";
        }
        std::vector<std::string> lines = startSearch();
        for (int a = 0; a < step && contains(lines, text(MSearchTryNow)); ++a) lines = answerOnce();
        if (!contains(lines, text(MSearchTryNow))) break;   // the search ended before this step
        tryFault();
        lines = press({-1, 0});
        EXPECT_TRUE(contains(lines, text(MSearchPutBack))) << testing::PrintToString(lines);
        EXPECT_FALSE(fileExists(searchFile()));
        EXPECT_EQ(before, farView());
        for (int i = 0; i < PLUGINS; ++i) EXPECT_FALSE(isOff(i));
        host.reset();
        removeTree(pluginsDir());
    }
}

// A plugin whose panel is open in the other half cannot be let go of in this
// session: the step box says to restart FAR before the try, and putting back
// still leaves everything as before.
TEST_F(FaultSearchTest, AStepFarCannotTakeNowAsksForARestart) {
    makeTree();
    openList(false);
    farhost::Panel* other = host->openOtherPanel(host->findPlugin(dllName(0)));
    ASSERT_NE(nullptr, other);
    std::vector<std::string> lines = startSearch();
    ASSERT_TRUE(contains(lines, text(MSearchTryNow))) << testing::PrintToString(lines);
    EXPECT_TRUE(contains(lines, text(MSearchRestart))) << "P01 is in the half switched off";
    EXPECT_TRUE(moduleLoaded(dllPath(0))) << "its panel still uses it";
    lines = press({-1, 0});
    EXPECT_TRUE(contains(lines, text(MSearchPutBack))) << testing::PrintToString(lines);
    for (int i = 0; i < PLUGINS; ++i) EXPECT_FALSE(isOff(i)) << i;
    EXPECT_FALSE(fileExists(searchFile()));
}
