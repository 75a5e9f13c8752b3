// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
#include "common/hostText.h"
#include "console/consoleKeys.h"
#include "console/keyNames.h"
#include "farHost.h"
#include "panels/columnLayout.h"
#include "panels/panelSort.h"
#include "plugins/langFile.h"
#include "services/messageBox.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>

using namespace farhost;
using testing_support::TempDir;
using testing_support::writeFile;

// ---- Language files --------------------------------------------------------------

TEST(LanguageFile, HeaderNamesTheLanguage) {
    struct Case {
        const char* line;
        bool ok;
        const char* name;
        const char* description;
    } cases[] = {
        {".Language=English,English", true, "English", "English"},
        {".Language=Russian,Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)", true, "Russian", "Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)"},
        {"  .language= German , Deutsch ", true, "German", "Deutsch"},
        {".Language=Polish", true, "Polish", ""},
        {"Language=English,English", false, "", ""},
        {"\"English\"", false, "", ""},
        {".Language=,Nothing", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string name, description;
        EXPECT_EQ(c.ok, parseLanguageHeader(c.line, name, description)) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(c.name, name) << c.line;
        EXPECT_EQ(c.description, description) << c.line;
    }
}

TEST(LanguageFile, MessageLineUnescapesOnlyQuoteAndBackslash) {
    struct Case {
        const char* line;
        bool ok;
        const char* text;
    } cases[] = {
        {"\"Hello\"", true, "Hello"},
        {"  \t\"Indented\"  // trailing words", true, "Indented"},
        {"\"Say \\\"yes\\\"\"", true, "Say \"yes\""},
        {"\"C:\\\\Far\\\\Plugins\"", true, "C:\\Far\\Plugins"},
        {"\"Keep \\n as it is\"", true, "Keep \\n as it is"},
        {"\"\"", true, ""},
        {"\"No closing quote", true, "No closing quote"},
        {"\"Line with CR\"\r", true, "Line with CR"},
        {"// \"a comment\"", false, ""},
        {"MTitle", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(c.ok, parseMessageLine(c.line, text)) << c.line;
        if (c.ok) {
            EXPECT_EQ(c.text, text) << c.line;
        }
    }
}

TEST(LanguageFile, IdsCountOnlyMessageLines) {
    std::string content =
        ".Language=English,English\r\n"
        "// Menu\r\n"
        "\r\n"
        "\"Zero\"\r\n"
        "MOne\r\n"
        "  \"One\"\r\n"
        "\"Two \\\"2\\\"\"";   // no final newline
    std::vector<std::string> messages = parseLanguageMessages(content);
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ("Zero", messages[0]);
    EXPECT_EQ("One", messages[1]);
    EXPECT_EQ("Two \"2\"", messages[2]);
}

TEST(LanguageFile, ChoosesTheHostLanguageElseEnglish) {
    TempDir dir("lng");
    ASSERT_TRUE(writeFile(dir / "aaa.lng", "no header here\n\"x\"\n"));
    ASSERT_TRUE(writeFile(dir / "plugEng.lng", ".Language=English,English\n\"E0\"\n"));
    ASSERT_TRUE(writeFile(dir / "plugRus.lng", "\xEF\xBB\xBF.Language=Russian,Russian\r\n\"R0\"\r\n"));
    EXPECT_EQ(dir / "plugRus.lng", chooseLanguageFile(dir.path(), "Russian"));
    EXPECT_EQ(dir / "plugRus.lng", chooseLanguageFile(dir.path(), "russian"));
    EXPECT_EQ(dir / "plugEng.lng", chooseLanguageFile(dir.path(), "German"));
    EXPECT_EQ(std::vector<std::string>{"R0"}, loadLanguageMessages(dir.path(), "Russian"));

    TempDir onlyRussian("lng");
    ASSERT_TRUE(writeFile(onlyRussian / "r.lng", ".Language=Russian,Russian\n\"R0\"\n"));
    EXPECT_EQ("", chooseLanguageFile(onlyRussian.path(), "German"));
    EXPECT_TRUE(loadLanguageMessages(onlyRussian.path(), "German").empty());
}

// ---- Message boxes --------------------------------------------------------------

TEST(MessageBoxRules, ButtonSetsOfTheFlags) {
    struct Case {
        DWORD flags;
        std::vector<std::string> buttons;
    } cases[] = {
        {0, {}},
        {FMSG_MB_OK, {"OK"}},
        {FMSG_MB_OKCANCEL, {"OK", "Cancel"}},
        {FMSG_MB_ABORTRETRYIGNORE, {"Abort", "Retry", "Ignore"}},
        {FMSG_MB_YESNO | FMSG_WARNING, {"Yes", "No"}},
        {FMSG_MB_YESNOCANCEL, {"Yes", "No", "Cancel"}},
        {FMSG_MB_RETRYCANCEL, {"Retry", "Cancel"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> buttons{"stale"};
        EXPECT_TRUE(buttonsFromFlags(c.flags, buttons)) << c.flags;
        EXPECT_EQ(c.buttons, buttons) << c.flags;
    }
    std::vector<std::string> buttons;
    EXPECT_FALSE(buttonsFromFlags(0x70000, buttons));
}

TEST(MessageBoxRules, AllInOneSplitsAtNewlinesAndTakesButtonsFromTheEnd) {
    const char* text = "Title\nFirst line\n\nOK\nCancel";
    MessageBoxText box = readMessageBox(FMSG_ALLINONE, reinterpret_cast<const char* const*>(text), 0, 2);
    EXPECT_EQ((std::vector<std::string>{"Title", "First line", "", "OK", "Cancel"}), box.lines);
    EXPECT_EQ(3u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"OK", "Cancel"}), box.buttons);
    EXPECT_TRUE(box.problems.empty());
}

TEST(MessageBoxRules, ButtonFlagsMakeEveryItemALine) {
    const char* items[] = {"Vantorel", "Unload it?", "Yes"};
    MessageBoxText box = readMessageBox(FMSG_MB_YESNO, items, 3, 1);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", "Unload it?", "Yes"}), box.lines);
    EXPECT_EQ(3u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"Yes", "No"}), box.buttons);

    const char* all = "Vantorel\nDone";
    box = readMessageBox(FMSG_ALLINONE | FMSG_MB_OK, reinterpret_cast<const char* const*>(all), 0, 0);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", "Done"}), box.lines);
    EXPECT_EQ(std::vector<std::string>{"OK"}, box.buttons);
}

TEST(MessageBoxRules, LastItemsAreButtonsWithoutFlags) {
    const char* items[] = {"Scan", "C:\\x.dll", "", "\xDB\xB0"};
    MessageBoxText box = readMessageBox(0, items, 4, 0);
    EXPECT_EQ(4u, box.lines.size());
    EXPECT_EQ(4u, box.textLines);
    EXPECT_TRUE(box.buttons.empty());
    EXPECT_EQ("\xDB\xB0", box.lines[3]);

    box = readMessageBox(0, items, 4, 2);
    EXPECT_EQ(4u, box.lines.size());
    EXPECT_EQ(2u, box.textLines);
    EXPECT_EQ((std::vector<std::string>{"", "\xDB\xB0"}), box.buttons);
}

TEST(MessageBoxRules, BadTextsAreRecordedNotFollowed) {
    const char* items[] = {"Title", nullptr, "OK"};
    MessageBoxText box = readMessageBox(0, items, 3, 1);
    EXPECT_EQ((std::vector<std::string>{"Title", "(null)", "OK"}), box.lines);
    EXPECT_EQ(1u, box.problems.size());

    std::vector<char> endless(5000, 'a');   // no terminator anywhere
    const char* longItems[] = {"Title", endless.data()};
    box = readMessageBox(0, longItems, 2, 0);
    ASSERT_EQ(2u, box.lines.size());
    EXPECT_EQ(kMaxPluginText, box.lines[1].size());
    EXPECT_EQ(1u, box.problems.size());

    box = readMessageBox(0, items, 1, 3);   // more buttons than items
    EXPECT_EQ(std::vector<std::string>{"Title"}, box.buttons);
    EXPECT_EQ(1u, box.problems.size());

    box = readMessageBox(0x70000, items, 1, 0);
    EXPECT_EQ(1u, box.problems.size());
}

// ---- Columns --------------------------------------------------------------------

TEST(ColumnLayout, ZeroWidthColumnsShareTheRest) {
    struct Case {
        const char* widthList;
        size_t count;
        int available;
        std::vector<int> widths;
    } cases[] = {
        {"15,7,0,14", 4, 80, {15, 7, 44, 14}},
        {"13,0", 2, 40, {13, 27}},
        {"0,15", 2, 50, {35, 15}},
        {"0,10,0", 3, 31, {11, 10, 10}},   // the first sharer takes the odd character
        {"0,0,0", 3, 10, {4, 3, 3}},
        {"30,30,0", 3, 50, {30, 30, 0}},   // nothing left to share
        {"50%,0", 2, 40, {20, 20}},
        {"", 2, 9, {5, 4}},                // no widths at all
        {"12", 3, 40, {12, 14, 14}},       // fewer widths than columns
    };
    for (const Case& c : cases) {
        std::vector<std::string> widthTexts = c.widthList[0] ? splitText(c.widthList, ',') : std::vector<std::string>{};
        EXPECT_EQ(c.widths, layoutColumnWidths(widthTexts, c.count, c.available)) << c.widthList << " in " << c.available;
    }
}

TEST(ColumnLayout, SizesFitTheirColumn) {
    struct Case {
        unsigned long long value;
        bool separators;
        int width;
        const char* text;
    } cases[] = {
        {1234567, true, 9, "1,234,567"},
        {1234567, true, 11, "  1,234,567"},
        {1234567, true, 7, "1234567"},   // no room for separators
        {1234567, false, 5, "1206K"},
        {5ull << 30, false, 4, "  5G"},
        {0, true, 3, "  0"},
        {999, true, 3, "999"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, formatSize(c.value, c.separators, c.width)) << c.value << " in " << c.width;
}

TEST(ColumnLayout, HostTitlesForColumnTypes) {
    EXPECT_EQ("Name", defaultColumnTitle("NO"));
    EXPECT_EQ("Size", defaultColumnTitle("SC"));
    EXPECT_EQ("Packed", defaultColumnTitle("P"));
    EXPECT_EQ("Description", defaultColumnTitle("Z"));
    EXPECT_EQ("Owner", defaultColumnTitle("O"));
    EXPECT_EQ("Date", defaultColumnTitle("D"));
    EXPECT_EQ("Time", defaultColumnTitle("T"));
    EXPECT_EQ("", defaultColumnTitle("C0"));
}

// ---- Sorting --------------------------------------------------------------------

namespace {

PanelEntry entry(const std::string& name, DWORD attributes = 0, unsigned size = 0, unsigned long long mtime = 0) {
    PanelEntry e;
    e.name = name;
    e.isDots = name == "..";
    strncpy(e.raw.FindData.cFileName, name.c_str(), sizeof e.raw.FindData.cFileName - 1);
    e.raw.FindData.dwFileAttributes = attributes;
    e.raw.FindData.nFileSizeLow = size;
    e.raw.FindData.ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(mtime);
    e.raw.FindData.ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(mtime >> 32);
    e.repoint();
    return e;
}

std::vector<std::string> namesOf(const std::vector<PanelEntry>& items) {
    std::vector<std::string> out;
    for (const PanelEntry& e : items) out.push_back(e.name);
    return out;
}

const DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

TEST(PanelSort, NameModeKeepsDotsFirstAndFoldersBeforeFiles) {
    std::vector<PanelEntry> items = {entry("beta.txt"), entry("Zed", kFolder), entry("..", kFolder),
                                     entry("ALPHA.txt"), entry("apple", kFolder)};
    sortPanelEntries(items, SM_NAME, nullptr);
    EXPECT_EQ((std::vector<std::string>{"..", "apple", "Zed", "ALPHA.txt", "beta.txt"}), namesOf(items));
}

TEST(PanelSort, NamesCompareByTheShownPart) {
    std::vector<PanelEntry> items = {entry("C:\\a\\zeta"), entry("C:\\z\\alpha"), entry("C:\\m\\Mid")};
    sortPanelEntries(items, SM_NAME, nullptr);
    EXPECT_EQ((std::vector<std::string>{"C:\\z\\alpha", "C:\\m\\Mid", "C:\\a\\zeta"}), namesOf(items));
}

TEST(PanelSort, HostRulesPerSortMode) {
    std::vector<PanelEntry> base = {entry("b.zip", 0, 10, 300), entry("a.txt", 0, 30, 100), entry("c.doc", 0, 20, 200)};
    struct Case {
        int mode;
        std::vector<std::string> order;
    } cases[] = {
        {SM_NAME, {"a.txt", "b.zip", "c.doc"}},
        {SM_EXT, {"c.doc", "a.txt", "b.zip"}},
        {SM_SIZE, {"a.txt", "c.doc", "b.zip"}},    // largest first
        {SM_MTIME, {"b.zip", "c.doc", "a.txt"}},   // newest first
        {SM_UNSORTED, {"b.zip", "a.txt", "c.doc"}},
    };
    for (const Case& c : cases) {
        std::vector<PanelEntry> items = base;
        sortPanelEntries(items, c.mode, nullptr);
        EXPECT_EQ(c.order, namesOf(items)) << "mode " << c.mode;
    }
}

TEST(PanelSort, DescriptionsAndOwnersSortByTextWithEmptyLast) {
    std::vector<PanelEntry> items = {entry("a"), entry("b"), entry("c")};
    items[1].description = "zip tools", items[1].hasDescription = true;
    items[2].description = "Archive", items[2].hasDescription = true;
    items[0].owner = "2.0", items[0].hasOwner = true;
    items[2].owner = "1.5", items[2].hasOwner = true;
    for (PanelEntry& e : items) e.repoint();
    std::vector<PanelEntry> byDescr = items, byOwner = items;
    sortPanelEntries(byDescr, SM_DESCR, nullptr);
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), namesOf(byDescr));
    sortPanelEntries(byOwner, SM_OWNER, nullptr);
    EXPECT_EQ((std::vector<std::string>{"c", "a", "b"}), namesOf(byOwner));
}

TEST(PanelSort, PluginCompareDecidesUnlessItAnswersMinusTwo) {
    std::vector<PanelEntry> items = {entry("a"), entry("b"), entry("c")};
    int calls = 0;
    EntryCompare reverse = [&](const PanelEntry& x, const PanelEntry& y) {
        ++calls;
        return y.name.compare(x.name) < 0 ? -1 : (y.name == x.name ? 0 : 1);
    };
    sortPanelEntries(items, SM_NAME, reverse);
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), namesOf(items));
    EXPECT_GT(calls, 0);

    EntryCompare declines = [](const PanelEntry&, const PanelEntry&) { return -2; };
    sortPanelEntries(items, SM_NAME, declines);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), namesOf(items));
}

TEST(PanelSort, PluginIsNeverAskedAboutDotsOrUnsortedPanels) {
    std::vector<PanelEntry> items = {entry("x"), entry("..", kFolder), entry("y")};
    EntryCompare strict = [](const PanelEntry& a, const PanelEntry& b) {
        EXPECT_FALSE(a.isDots || b.isDots);
        return 1;
    };
    sortPanelEntries(items, SM_NAME, strict);
    EXPECT_EQ("..", items[0].name);
    int calls = 0;
    sortPanelEntries(items, SM_UNSORTED, [&](const PanelEntry&, const PanelEntry&) { return ++calls, 1; });
    EXPECT_EQ(0, calls);
}

TEST(PanelSort, EqualItemsKeepTheirOrderAndContradictionsLoseNothing) {
    std::vector<PanelEntry> items;
    for (int i = 0; i < 37; ++i) items.push_back(entry("n" + std::to_string(i)));
    sortPanelEntries(items, SM_NAME, [](const PanelEntry&, const PanelEntry&) { return 0; });
    for (int i = 0; i < 37; ++i) EXPECT_EQ("n" + std::to_string(i), items[i].name);

    sortPanelEntries(items, SM_NAME, [](const PanelEntry&, const PanelEntry&) { return -1; });
    std::vector<std::string> names = namesOf(items);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (int i = 0; i < 37; ++i) expected.push_back("n" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
}

TEST(PanelEntryCopy, CopiesPointAtTheirOwnTexts) {
    std::vector<PanelEntry> copies;
    {
        PanelEntry original = entry("a");
        original.description = "a description that is longer than any small-string buffer";
        original.hasDescription = true;
        original.owner = "1.0";
        original.hasOwner = true;
        original.customColumns = {"c0", "c1"};
        original.repoint();
        copies.push_back(original);
        copies.push_back(original);
    }
    for (const PanelEntry& c : copies) {
        EXPECT_EQ(c.description.c_str(), c.raw.Description);
        EXPECT_EQ(c.owner.c_str(), c.raw.Owner);
        ASSERT_EQ(2, c.raw.CustomColumnNumber);
        EXPECT_STREQ("c1", c.raw.CustomColumnData[1]);
    }
    PanelEntry none = entry("b");
    EXPECT_EQ(nullptr, none.raw.Description);
    EXPECT_EQ(nullptr, none.raw.Owner);
}

// ---- Key names ------------------------------------------------------------------

TEST(KeyNames, ScriptNamesMapToKeysAndBack) {
    struct Case {
        const char* name;
        int vk;
        unsigned state;
        const char* canonical;
    } cases[] = {
        {"Down", VK_DOWN, 0, "Down"},
        {"enter", VK_RETURN, 0, "Enter"},
        {"Esc", VK_ESCAPE, 0, "Esc"},
        {"F1", VK_F1, 0, "F1"},
        {"F12", VK_F12, 0, "F12"},
        {"ShiftF5", VK_F5, PKF_SHIFT, "ShiftF5"},
        {"Ctrl+F4", VK_F4, PKF_CONTROL, "CtrlF4"},
        {"ShiftAltF3", VK_F3, PKF_ALT | PKF_SHIFT, "AltShiftF3"},
        {"Ctrl1", '1', PKF_CONTROL, "Ctrl1"},
        {"ctrla", 'A', PKF_CONTROL, "CtrlA"},
        {"PgDn", VK_NEXT, 0, "PgDn"},
    };
    for (const Case& c : cases) {
        int vk = 0;
        unsigned state = 99;
        ASSERT_TRUE(parseKeyName(c.name, vk, state)) << c.name;
        EXPECT_EQ(c.vk, vk) << c.name;
        EXPECT_EQ(c.state, state) << c.name;
        EXPECT_EQ(c.canonical, keyName(vk, state)) << c.name;
    }
    for (const char* bad : {"", "Ctrl", "Foo", "F0", "F99", "CtrlShift", "Shift+"}) {
        int vk;
        unsigned state;
        EXPECT_FALSE(parseKeyName(bad, vk, state)) << bad;
    }
}

TEST(KeyNames, KeysAnswerABoxByButtonOrder) {
    struct Case {
        int vk;
        unsigned state;
        size_t buttons;
        int answer;   // -2: not an answer, the box keeps waiting
    } cases[] = {
        {VK_RETURN, 0, 2, 0},  {'Y', 0, 2, 0},   {'Y', PKF_SHIFT, 2, 0}, {'N', 0, 2, 1},
        {'N', 0, 1, -2},       {VK_ESCAPE, 0, 2, -1}, {VK_ESCAPE, 0, 0, -1}, {'3', 0, 3, 2},
        {'4', 0, 3, -2},       {'0', 0, 3, -2},  {VK_RETURN, PKF_CONTROL, 2, -2}, {VK_DELETE, PKF_SHIFT, 2, -2},
        {VK_RETURN, 0, 0, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, answerForKey(c.vk, c.state, c.buttons)) << keyName(c.vk, c.state) << " of " << c.buttons;
}

// ---- Services, through a real loaded plugin ---------------------------------------

namespace {

// A plugin DLL of the test build in a folder of its own, with our own language files.
class ServicesTest : public ::testing::Test {
protected:
    TempDir dir{"hostsvc"};
    std::unique_ptr<Host> host;
    Plugin* plugin = nullptr;

    void SetUp() override {
        ASSERT_TRUE(testing_support::copyFile(testing_support::fixtureDir("notes") + "notes.dll", dir / "notes.dll"));
        ASSERT_TRUE(writeFile(dir / "mineEng.lng", ".Language=English,English\n\"Notes\"\n\"Second\"\n\"Third\"\n"));
        ASSERT_TRUE(writeFile(dir / "mineRus.lng", ".Language=Russian,Russian\n\"\x87\xA0\xAC\xA5\xE2\xAA\xA8\"\n"));
        host.reset(new Host(HostOptions()));
        plugin = host->load(dir / "notes.dll");
        ASSERT_NE(nullptr, plugin) << host->lastError();
    }
    const PluginStartupInfo& si() const { return plugin->startupInfo(); }
};

}  // namespace

TEST_F(ServicesTest, StartupInfoCarriesTheHostsServices) {
    const PluginStartupInfo& info = si();
    EXPECT_EQ(372, info.StructSize);
    EXPECT_EQ(dir / "notes.dll", std::string(info.ModuleName));
    EXPECT_EQ(host->rootKey(), std::string(info.RootKey));
    EXPECT_EQ(plugin->record()->rootKey, info.RootKey) << "the host's copy in its record";
    EXPECT_EQ(0, info.ModuleNumber) << "the first record of the host's array";
    ASSERT_NE(nullptr, info.FSF);
    EXPECT_EQ(228, info.FSF->StructSize);   // the released 1.70's table
    EXPECT_TRUE(info.GetMsg && info.Message && info.Dialog && info.Control && info.SaveScreen && info.RestoreScreen &&
                info.ShowHelp && info.FSF->ExpandEnvironmentStr && info.FSF->Trim);

    ASSERT_TRUE(testing_support::copyFile(dir / "notes.dll", dir / "second\\notes.dll"));
    Plugin* second = host->load(dir / "second\\notes.dll");
    ASSERT_NE(nullptr, second) << host->lastError();
    EXPECT_EQ(1, second->startupInfo().ModuleNumber);
}

TEST_F(ServicesTest, GetMsgFollowsTheHostLanguageAndKeepsOldTextsAlive) {
    const char* english = si().GetMsg(si().ModuleNumber, 1);
    ASSERT_NE(nullptr, english);
    EXPECT_STREQ("Second", english);
    // Past the table: the host's box about a damaged language file, and "".
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, 3));
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, -1));
    EXPECT_EQ(2u, host->problems.size());

    host->setLanguage("Russian");
    EXPECT_STREQ("\x87\xA0\xAC\xA5\xE2\xAA\xA8", si().GetMsg(si().ModuleNumber, 0));
    EXPECT_STREQ("", si().GetMsg(si().ModuleNumber, 1));
    EXPECT_STREQ("Second", english);   // handed out earlier, still readable

    host->setLanguage("German");
    EXPECT_STREQ("Notes", si().GetMsg(si().ModuleNumber, 0));
}

TEST_F(ServicesTest, MessageWithoutButtonsDrawsAndStaysUntilRestore) {
    HANDLE screen = si().SaveScreen(0, 0, -1, -1);
    ASSERT_NE(nullptr, screen);
    const char* items[] = {"Scan", "C:\\x.dll", "", "\xDB\xB0\xB0"};
    EXPECT_EQ(-1, si().Message(0, 0, "", items, 4, 0));
    ASSERT_NE(nullptr, host->boxOnScreen());
    EXPECT_EQ("Scan", host->boxOnScreen()->lines[0]);
    si().RestoreScreen(screen);
    EXPECT_EQ(nullptr, host->boxOnScreen());
    EXPECT_EQ(0, host->unrestoredScreens());
    EXPECT_TRUE(host->problems.empty());
}

TEST_F(ServicesTest, MessageWithButtonsTakesQueuedAnswersThenTheDefault) {
    const char* items[] = {"Vantorel", "Unload?"};
    host->answerMessages({1, 0});
    host->defaultAnswer = -1;
    EXPECT_EQ(1, si().Message(si().ModuleNumber, FMSG_MB_YESNO | FMSG_WARNING, "", items, 2, 0));
    EXPECT_EQ(0, si().Message(si().ModuleNumber, FMSG_MB_YESNO, "", items, 2, 0));
    EXPECT_EQ(-1, si().Message(si().ModuleNumber, FMSG_MB_YESNO, "", items, 2, 0));
    ASSERT_EQ(3u, host->messages.size());
    EXPECT_EQ((std::vector<std::string>{"Yes", "No"}), host->messages[0].buttons);
    EXPECT_EQ(1, host->messages[0].answer);
    EXPECT_EQ(nullptr, host->boxOnScreen());   // boxes with buttons close when answered
}

TEST_F(ServicesTest, ScreensMustBeRestoredOnceEach) {
    HANDLE a = si().SaveScreen(0, 0, -1, -1);
    HANDLE b = si().SaveScreen(0, 0, -1, -1);
    EXPECT_NE(a, b);
    EXPECT_EQ(2, host->unrestoredScreens());
    si().RestoreScreen(a);
    si().RestoreScreen(nullptr);   // a plain redraw
    EXPECT_TRUE(host->problems.empty());
    si().RestoreScreen(a);
    EXPECT_EQ(1u, host->problems.size());
    si().RestoreScreen(reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(2u, host->problems.size());
    EXPECT_EQ(1, host->unrestoredScreens());
    host->unload(plugin);
    EXPECT_EQ(3u, host->problems.size());   // the screen still saved at unload
}

TEST_F(ServicesTest, DialogAppliesTheScriptWithinTheItemBuffers) {
    FarDialogItem items[3];
    memset(items, 0, sizeof items);
    items[0].Type = DI_DOUBLEBOX;
    strcpy(items[0].Data, "Vantorel");
    items[1].Type = DI_CHECKBOX;
    items[1].Selected = 1;
    items[2].Type = DI_FIXEDIT;
    strcpy(items[2].Data, "0");

    DialogScript script;
    script.result = 2;
    script.edits[2] = std::string(600, '7');
    script.checks[1] = 0;
    host->queueDialog(script);
    EXPECT_EQ(2, si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3));
    EXPECT_EQ(511u, strlen(items[2].Data));
    EXPECT_EQ(0, items[1].Selected);
    ASSERT_EQ(1u, host->dialogs.size());
    EXPECT_STREQ("0", host->dialogs[0].before[2].Data);
    EXPECT_EQ(1, host->dialogs[0].before[1].Selected);
    EXPECT_EQ(0, host->dialogs[0].after[1].Selected);

    EXPECT_EQ(-1, si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3));   // unscripted: Esc
    EXPECT_TRUE(host->problems.empty());

    memset(items[0].Data, 'x', sizeof items[0].Data);
    si().Dialog(si().ModuleNumber, -1, -1, 53, 13, "", items, 3);
    EXPECT_EQ(1u, host->problems.size());
}

TEST_F(ServicesTest, StandardFunctionsWorkInPlaceAndWithinBounds) {
    char text[32] = " \t padded words\t  ";
    EXPECT_EQ(text, si().FSF->Trim(text));
    EXPECT_STREQ("padded words", text);
    char blanks[8] = "   ";
    EXPECT_STREQ("", si().FSF->Trim(blanks));

    SetEnvironmentVariableA("FARHOST_TEST_VAR", "C:\\Expanded");
    char path[64] = "%FARHOST_TEST_VAR%\\Plugins";
    si().FSF->ExpandEnvironmentStr(path, path, sizeof path);
    EXPECT_STREQ("C:\\Expanded\\Plugins", path);
    char small[8];
    memset(small, 'z', sizeof small);
    si().FSF->ExpandEnvironmentStr("%FARHOST_TEST_VAR%", small, 6);
    EXPECT_STREQ("C:\\Ex", small);
    EXPECT_EQ('z', small[6]);
}

TEST_F(ServicesTest, ControlOnAnUnknownPanelAnswersZero) {
    PanelInfo info;
    EXPECT_EQ(0, si().Control(reinterpret_cast<HANDLE>(77), FCTL_GETPANELINFO, &info));
    EXPECT_EQ(0, si().Control(reinterpret_cast<HANDLE>(77), FCTL_UPDATEPANEL, nullptr));
}

TEST_F(ServicesTest, ShowHelpIsRecorded) {
    EXPECT_TRUE(si().ShowHelp("C:\\Far\\Plugins\\Net", nullptr, 0xC0000004));
    ASSERT_EQ(1u, host->helps.size());
    EXPECT_EQ("C:\\Far\\Plugins\\Net", host->helps[0].moduleName);
    EXPECT_EQ("(none)", host->helps[0].topic);
    EXPECT_EQ(0xC0000004u, host->helps[0].flags);
}

// ---- Registry --------------------------------------------------------------------

namespace {

bool keyExists(const std::string& path) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

}  // namespace

TEST(HostRegistry, EachHostHasItsOwnRootRemovedAtTheEnd) {
    std::string first, second, system;
    {
        HostOptions options;
        options.writePersonalPath = true;
        options.personalPluginsPath = "  %USERPROFILE%\\My  ";
        Host a(options);
        Host b{HostOptions()};
        first = a.rootKey();
        second = b.rootKey();
        EXPECT_NE(first, second);
        ASSERT_GT(first.size(), 13u);
        EXPECT_EQ("\\Far\\Plugins", first.substr(first.size() - 12));
        system = first.substr(0, first.size() - 8) + "\\System";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, system.c_str(), 0, KEY_READ, &h));
        char value[64] = {};
        DWORD size = sizeof value, type = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(h, "PersonalPluginsPath", nullptr, &type,
                                                  reinterpret_cast<BYTE*>(value), &size));
        RegCloseKey(h);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_STREQ("  %USERPROFILE%\\My  ", value);
        // A plugin's own subkeys must not stop the clean-up.
        HKEY sub;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (first + "\\J\\Vantorel").c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &sub, nullptr));
        RegCloseKey(sub);
    }
    EXPECT_FALSE(keyExists(first));
    EXPECT_FALSE(keyExists(system));
    EXPECT_FALSE(keyExists(second));
}

TEST(HostRegistry, AGivenRootKeyIsLeftInPlace) {
    testing_support::TempKey key;
    {
        HostOptions options;
        options.rootKey = key.path() + "\\Far\\Plugins";
        Host host(options);
        EXPECT_EQ(options.rootKey, host.rootKey());
    }
    EXPECT_TRUE(keyExists(key.path() + "\\Far\\Plugins"));
}

TEST(HostLifetime, PluginsTalkToTheNewestLiveHost) {
    Host older{HostOptions()};
    {
        Host newer{HostOptions()};
        EXPECT_EQ(&newer, Host::current());
    }
    EXPECT_EQ(&older, Host::current());
}

TEST(HostFolders, BuildCopyAndTakeDownATree) {
    std::string a = uniqueTempDir("fhfs");
    std::string b = uniqueTempDir("fhfs");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ('\\', a.back());
    EXPECT_TRUE(testing_support::fileExists(a));

    ASSERT_TRUE(makeDirs(a + "one\\two\\three\\"));
    ASSERT_TRUE(writeFile(a + "one\\x.dll", "x"));
    ASSERT_TRUE(writeFile(a + "one\\x.lng", "l"));
    ASSERT_TRUE(writeFile(a + "one\\two\\three\\deep.txt", "d"));
    ASSERT_TRUE(copyFiles(a + "one", b + "named", {"x.lng"}));
    EXPECT_TRUE(testing_support::fileExists(b + "named\\x.lng"));
    EXPECT_FALSE(testing_support::fileExists(b + "named\\x.dll"));
    ASSERT_TRUE(copyFiles(a + "one\\", b + "all\\"));
    EXPECT_TRUE(testing_support::fileExists(b + "all\\x.dll"));
    EXPECT_FALSE(testing_support::fileExists(b + "all\\two"));   // files only

    SetFileAttributesA((a + "one\\x.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(removeTree(a));
    EXPECT_TRUE(removeTree(b));
    EXPECT_FALSE(testing_support::fileExists(a));
    EXPECT_FALSE(testing_support::fileExists(b));
    EXPECT_TRUE(removeTree(a));   // already gone
}
