// What the list-mode panel tells the host about its look.
#include "harness.h"

#include <map>

using namespace testing_support;

TEST_F(HostTest, ListModeDescribesItsColumnsKeyBarAndStartMode) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    const OpenPluginInfo& info = panel->info();
    EXPECT_EQ(72, info.StructSize);
    EXPECT_EQ(0x2874u, info.Flags);   // the host's highlighting by name and attributes
    EXPECT_EQ(" Vantorel ", panel->title());   // padded as the host pads its own
    EXPECT_EQ(10, info.PanelModesNumber);    // no view falls back to the host's own columns
    EXPECT_EQ('1', info.StartPanelMode);
    EXPECT_EQ(SM_NAME, info.StartSortMode);
    EXPECT_EQ(0, info.StartSortOrder);
    panel->setViewMode(0);
    std::string text = panel->render(120);
    EXPECT_NE(std::string::npos, text.find("Size")) << text;      // message 1 titles the folder size
    EXPECT_NE(std::string::npos, text.find("Version")) << text;   // message 2 the version column
    EXPECT_NE(std::string::npos, text.find("Config")) << text;    // F4's own label
}

TEST_F(HostTest, StartViewModeComesFromTheSettings) {
    addFakeDll("A\\a.dll");
    start();
    storeSettings(std::string("\1\0\0\2\0\0", 6));
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ('2', panel->info().StartPanelMode);
    EXPECT_EQ(2, panel->viewMode());
}

TEST_F(HostTest, SortModeThreeOrdersByFolderPathOnlyInListMode) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    auto compare = reinterpret_cast<PFN_Compare>(vantorel->proc("Compare"));
    PluginPanelItem a = {}, b = {};
    strcpy(a.FindData.cFileName, "C:\\Far\\Plugins\\Alpha");
    strcpy(b.FindData.cFileName, "C:\\Far\\Plugins\\Beta");
    EXPECT_EQ(-1, compare(panel->handle(), &a, &b, SM_EXT));
    EXPECT_EQ(1, compare(panel->handle(), &b, &a, SM_EXT));
    EXPECT_EQ(0, compare(panel->handle(), &a, &a, SM_EXT));
    for (int mode : {SM_DEFAULT, SM_UNSORTED, SM_NAME, SM_MTIME, SM_DESCR})
        EXPECT_EQ(-2, compare(panel->handle(), &a, &b, mode)) << mode;
    // Ctrl+F6 sorts by the folder's total (the packed size), larger first,
    // equal totals by folder path.
    a.PackSize = 10;
    b.PackSize = 2000;
    EXPECT_EQ(1, compare(panel->handle(), &a, &b, SM_SIZE));
    EXPECT_EQ(-1, compare(panel->handle(), &b, &a, SM_SIZE));
    b.PackSize = 10;
    EXPECT_EQ(-1, compare(panel->handle(), &a, &b, SM_SIZE));
    // In browse mode the host sorts by its own rules.
    ASSERT_TRUE(panel->setCurrentByName("A"));
    ASSERT_TRUE(panel->enter());
    for (int mode : {SM_NAME, SM_EXT, SM_OWNER}) EXPECT_EQ(-2, compare(panel->handle(), &a, &b, mode)) << mode;
}

TEST_F(HostTest, KeyBarLabelsTheListsKeysAndBlanksTheHostsFileCommands) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    auto getInfo = reinterpret_cast<PFN_GetOpenPluginInfo>(vantorel->proc("GetOpenPluginInfo"));
    OpenPluginInfo info = {};
    getInfo(panel->handle(), &info);
    ASSERT_NE(nullptr, info.KeyBar);
    const KeyBarTitles& kb = *info.KeyBar;
    // Per row, F1 to F12: the list's own label, "" where the host's label
    // would name a command the list does not do, "-" for the host's own label.
    const struct { const char* row; char* const* titles; std::vector<std::string> labels; } rows[] = {
        {"plain", kb.Titles, {"-", "-", "Info", "Config", "-", "", "", "Uninst", "-", "-", "-", "-"}},
        {"Shift", kb.ShiftTitles, {"PlHelp", "", "Which?", "", "Rescan", "Reload", "ClrCch", "Unload", "-", "-", "-", "-"}},
        {"Alt", kb.AltTitles, {"-", "-", "", "", "Off/On", "", "-", "-", "-", "-", "-", "-"}},
        {"Ctrl", kb.CtrlTitles, {"-", "-", "-", "ByPath", "-", "-", "-", "-", "-", "-", "ByVer", "-"}},
    };
    for (const auto& row : rows)
        for (int f = 1; f <= 12; ++f)
            EXPECT_EQ(row.labels[f - 1], row.titles[f - 1] ? row.titles[f - 1] : "-") << row.row << " F" << f;
    // The panel modes: columns, widths and titles per view mode.
    const PanelMode* modes = info.PanelModesArray;
    ASSERT_NE(nullptr, modes);
    // Every view: the load mark first, names without their path (also in the
    // status line), the folder total as P (the host shows S of a folder as
    // "Folder") with separators, titled; a full 16-character version.
    for (int m = 0; m < 10; ++m) {
        SCOPED_TRACE(m);
        std::string types = modes[m].ColumnTypes, widths = modes[m].ColumnWidths;
        EXPECT_EQ(0u, types.find("C0,NO")) << types;
        EXPECT_EQ(0u, widths.find("1,")) << widths;
        EXPECT_EQ(0u, std::string(modes[m].StatusColumnTypes).find("NO")) << modes[m].StatusColumnTypes;
        EXPECT_EQ(std::string::npos, (types + "," + modes[m].StatusColumnTypes).find("S")) << types;
        std::vector<std::string> columns, sizes;
        for (size_t at = 0, next; at <= types.size(); at = next + 1) {
            next = types.find(',', at);
            if (next == std::string::npos) next = types.size();
            columns.push_back(types.substr(at, next - at));
        }
        for (size_t at = 0, next; at <= widths.size(); at = next + 1) {
            next = widths.find(',', at);
            if (next == std::string::npos) next = widths.size();
            sizes.push_back(widths.substr(at, next - at));
        }
        ASSERT_EQ(columns.size(), sizes.size());
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c][0] == 'P') {
                EXPECT_EQ("PC", columns[c]);
                ASSERT_NE(nullptr, modes[m].ColumnTitles);
                EXPECT_STREQ("Size", modes[m].ColumnTitles[c]);
            }
            if (columns[c] == "O") {
                EXPECT_TRUE(sizes[c] == "0" || std::stoi(sizes[c]) >= 16) << sizes[c];
                ASSERT_NE(nullptr, modes[m].ColumnTitles);
                EXPECT_STREQ("Version", modes[m].ColumnTitles[c]);
            }
        }
    }
    EXPECT_EQ(1, modes[0].FullScreen);
}

TEST_F(HostTest, SortByVersionComparesVersionsAndTheTitleSaysHowTheListIsSorted) {
    addFakeDll("A\\a.dll");
    addFakeDll("B\\b.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    auto compare = reinterpret_cast<PFN_Compare>(vantorel->proc("Compare"));
    char v2[] = "1.70 build 2", v12[] = "1.70 build 12";
    PluginPanelItem a = {}, b = {}, none = {};
    strcpy(a.FindData.cFileName, "C:\\Far\\Plugins\\Zeta");
    strcpy(b.FindData.cFileName, "C:\\Far\\Plugins\\Alpha");
    strcpy(none.FindData.cFileName, "C:\\Far\\Plugins\\Beta");
    a.Owner = v2;
    b.Owner = v12;
    EXPECT_EQ(-1, compare(panel->handle(), &a, &b, SM_OWNER));
    EXPECT_EQ(1, compare(panel->handle(), &b, &a, SM_OWNER));
    EXPECT_EQ(-1, compare(panel->handle(), &b, &none, SM_OWNER));   // a version before none
    PluginPanelItem same = a;
    strcpy(same.FindData.cFileName, "C:\\Far\\Plugins\\Alpha");
    EXPECT_EQ(1, compare(panel->handle(), &a, &same, SM_OWNER));   // equal versions: by folder path
    // The host's corner letter is its own; the title names the plugin's order.
    panel->setSortMode(SM_OWNER);
    panel->read();
    EXPECT_EQ(" Vantorel: by version ", panel->title());
    panel->setSortMode(SM_EXT);
    panel->read();
    EXPECT_EQ(" Vantorel: by folder path ", panel->title());
    panel->setSortMode(SM_NAME);
    panel->read();
    EXPECT_EQ(" Vantorel ", panel->title());
}

TEST_F(HostTest, PluginsWithoutAVersionSortLastInBothDirections) {
    using testing_support::writeFile;
    for (const FarBuild& build : FAR_BUILDS) {
        SCOPED_TRACE(build.name);
        writeFile(pluginsDir() + "Alpha\\a.dll", "a");
        writeFile(pluginsDir() + "Alpha\\file_id.diz", "Alpha tool v 1.0");
        writeFile(pluginsDir() + "Beta\\b.dll", "b");
        writeFile(pluginsDir() + "Beta\\file_id.diz", "Beta tool v 2.0");
        writeFile(pluginsDir() + "Cut\\c.dll", "c");
        writeFile(pluginsDir() + "Dim\\d.dll", "d");
        FarSetup setup;
        setup.far175 = build.far175;
        start(setup);
        farhost::Panel* panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        const std::string p = pluginsDir();
        // Choosing the version sort twice reverses it, as the host does.
        const struct {
            int order;
            std::vector<std::string> names;
        } rows[] = {
            {1, {p + "Alpha", p + "Beta", p + "Cut", p + "Dim"}},
            {-1, {p + "Beta", p + "Alpha", p + "Dim", p + "Cut"}},
        };
        for (const auto& row : rows) {
            panel->setSortMode(SM_OWNER);
            ASSERT_EQ(row.order, panel->sortOrder());
            EXPECT_EQ(row.names, names(panel)) << "order " << row.order;
        }
        panel->close();
        host.reset();
        vantorel = nullptr;
    }
}

// Detailed (Ctrl+5) is the view across the whole screen; on a screen of 80
// columns the description has more room than the version, and the status
// line holds no attribute column, where a loaded plugin would show a bare "S".
TEST_F(HostTest, DetailedViewGivesTheDescriptionTheRoom) {
    const std::string description = "Aligns text blocks by any character";
    addFakeDll("Align\\align.dll");
    testing_support::writeFile(pluginsDir() + "Align\\file_id.diz", description);
    start();
    storeSettings(std::string("\1\0\0\1\0\1", 6));   // loaded plugins marked
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    panel->setViewMode(5);
    // The panel at 80 columns, cut into lines, with the cursor on an item.
    auto linesOn = [&](const std::string& item) {
        EXPECT_TRUE(panel->setCurrentByName(item)) << item;
        std::string shown = panel->render(80);
        std::vector<std::string> lines;
        for (size_t at = 0, next; at < shown.size(); at = next + 1) {
            next = shown.find('\n', at);
            if (next == std::string::npos) next = shown.size();
            lines.push_back(shown.substr(at, next - at));
        }
        return lines;
    };
    auto statusOf = [&](const std::string& item) {
        std::vector<std::string> lines = linesOn(item);
        for (size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i].compare(0, 5, "    -") == 0) return lines[i + 1];
        return std::string("<no status line>");
    };
    // Column widths from the titles' line: what lies between the dividers.
    std::map<std::string, size_t> width;
    std::string heads = linesOn("Align").at(1).substr(4);
    for (size_t at = 0, next; at <= heads.size(); at = next + 1) {
        next = heads.find('|', at);
        if (next == std::string::npos) next = heads.size();
        std::string title = heads.substr(at, next - at);
        size_t a = title.find_first_not_of(' '), b = title.find_last_not_of(' ');
        width[a == std::string::npos ? std::string() : title.substr(a, b - a + 1)] = next - at;
    }
    EXPECT_GE(width["Description"], 20u) << heads;
    EXPECT_GE(width["Description"], width["Version"]) << heads;
    EXPECT_LE(heads.size(), 78u) << "inside the frame";
    EXPECT_NE(std::string::npos, statusOf("Align").find(description)) << "the whole description: " << statusOf("Align");
    // Vantorel itself is loaded, so marked with the system attribute.
    std::string status = statusOf("Vantorel");
    for (size_t at = 0, next; at < status.size(); at = next + 1) {
        next = status.find(' ', at);
        if (next == std::string::npos) next = status.size();
        EXPECT_NE("S", status.substr(at, next - at)) << status;
    }
}

TEST_F(HostTest, ColumnTitlesAndTheKeyBarFollowTheHostsLanguage) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    host->setLanguage("Russian");
    auto getInfo = reinterpret_cast<PFN_GetOpenPluginInfo>(vantorel->proc("GetOpenPluginInfo"));
    OpenPluginInfo info = {};
    getInfo(panel->handle(), &info);
    // Russian texts are in code page 866.
    EXPECT_STREQ("\x90\xa0\xa7\xac\xa5\xe0", info.PanelModesArray[0].ColumnTitles[2]);
    EXPECT_STREQ("\x82\xa5\xe0\xe1\xa8\xef", info.PanelModesArray[2].ColumnTitles[2]);
    ASSERT_NE(nullptr, info.KeyBar->Titles[3]);
    EXPECT_STRNE("Config", info.KeyBar->Titles[3]);
}

TEST_F(HostTest, TheViewModeIsAskedOnlyAtTheFirstLookOfAnOpenPanel) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open(0, 0, false);
    auto getInfo = reinterpret_cast<PFN_GetOpenPluginInfo>(vantorel->proc("GetOpenPluginInfo"));
    auto asks = [&] {
        int n = 0;
        for (const auto& line : host->transcript) n += line.find("FCTL_GETPANELINFO") != std::string::npos;
        return n;
    };
    OpenPluginInfo info = {};
    getInfo(panel->handle(), &info);
    // The host answers the first ask by asking GetOpenPluginInfo again inside
    // it; that nested first look does not ask again.
    EXPECT_EQ(1, asks());
    getInfo(panel->handle(), &info);
    getInfo(panel->handle(), &info);
    EXPECT_EQ(1, asks());
}
