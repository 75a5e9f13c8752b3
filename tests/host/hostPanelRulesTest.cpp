// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// The host's panel rules: column widths and titles, the sort order, items
// copied out of the plugin's arrays.
#include "common/hostText.h"
#include "panels/columnLayout.h"
#include "panels/panelSort.h"
#include "farHost.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace farhost;

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
    sortPanelEntries(items, SM_NAME, 1, nullptr);
    EXPECT_EQ((std::vector<std::string>{"..", "apple", "Zed", "ALPHA.txt", "beta.txt"}), namesOf(items));
}

TEST(PanelSort, NamesCompareByTheShownPart) {
    std::vector<PanelEntry> items = {entry("C:\\a\\zeta"), entry("C:\\z\\alpha"), entry("C:\\m\\Mid")};
    sortPanelEntries(items, SM_NAME, 1, nullptr);
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
        sortPanelEntries(items, c.mode, 1, nullptr);
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
    sortPanelEntries(byDescr, SM_DESCR, 1, nullptr);
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), namesOf(byDescr));
    sortPanelEntries(byOwner, SM_OWNER, 1, nullptr);
    EXPECT_EQ((std::vector<std::string>{"c", "a", "b"}), namesOf(byOwner));
}

TEST(PanelSort, PluginCompareDecidesUnlessItAnswersMinusTwo) {
    std::vector<PanelEntry> items = {entry("a"), entry("b"), entry("c")};
    int calls = 0;
    EntryCompare reverse = [&](const PanelEntry& x, const PanelEntry& y) {
        ++calls;
        return y.name.compare(x.name) < 0 ? -1 : (y.name == x.name ? 0 : 1);
    };
    sortPanelEntries(items, SM_NAME, 1, reverse);
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), namesOf(items));
    EXPECT_GT(calls, 0);

    EntryCompare declines = [](const PanelEntry&, const PanelEntry&) { return -2; };
    sortPanelEntries(items, SM_NAME, 1, declines);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), namesOf(items));
}

TEST(PanelSort, ReverseOrderTurnsThePluginsAnswerAndTheHostsRuleButNotDotsOrFolders) {
    struct Case {
        const char* what;
        bool pluginDecides;
        std::vector<std::string> order;
    } cases[] = {
        {"the host's rule", false, {"..", "dir", "c", "b", "a"}},
        {"the plugin's answer", true, {"..", "dir", "a", "b", "c"}},   // the plugin orders by name backwards
    };
    for (const Case& c : cases) {
        std::vector<PanelEntry> items = {entry("b"), entry("dir", kFolder), entry("a"), entry("..", kFolder), entry("c")};
        EntryCompare backwards = [](const PanelEntry& x, const PanelEntry& y) {
            return y.name.compare(x.name) < 0 ? -1 : (y.name == x.name ? 0 : 1);
        };
        sortPanelEntries(items, SM_NAME, -1, c.pluginDecides ? backwards : EntryCompare());
        EXPECT_EQ(c.order, namesOf(items)) << c.what;
    }
}

TEST(PanelSort, PluginIsNeverAskedAboutDotsOrUnsortedPanels) {
    std::vector<PanelEntry> items = {entry("x"), entry("..", kFolder), entry("y")};
    EntryCompare strict = [](const PanelEntry& a, const PanelEntry& b) {
        EXPECT_FALSE(a.isDots || b.isDots);
        return 1;
    };
    sortPanelEntries(items, SM_NAME, 1, strict);
    EXPECT_EQ("..", items[0].name);
    int calls = 0;
    sortPanelEntries(items, SM_UNSORTED, 1, [&](const PanelEntry&, const PanelEntry&) { return ++calls, 1; });
    EXPECT_EQ(0, calls);
}

TEST(PanelSort, EqualItemsKeepTheirOrderAndContradictionsLoseNothing) {
    std::vector<PanelEntry> items;
    for (int i = 0; i < 37; ++i) items.push_back(entry("n" + std::to_string(i)));
    sortPanelEntries(items, SM_NAME, 1, [](const PanelEntry&, const PanelEntry&) { return 0; });
    for (int i = 0; i < 37; ++i) EXPECT_EQ("n" + std::to_string(i), items[i].name);

    sortPanelEntries(items, SM_NAME, 1, [](const PanelEntry&, const PanelEntry&) { return -1; });
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
