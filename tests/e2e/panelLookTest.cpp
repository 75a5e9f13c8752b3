// What the list-mode panel tells the host about its look.
#include "harness.h"

using namespace testing_support;

TEST_F(HostTest, ListModeDescribesItsColumnsKeyBarAndStartMode) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    const OpenPluginInfo& info = panel->info();
    EXPECT_EQ(72, info.StructSize);
    EXPECT_EQ(0xA870u, info.Flags);
    EXPECT_EQ("Vantorel", panel->title());
    EXPECT_EQ(3, info.PanelModesNumber);
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
    for (int mode : {SM_DEFAULT, SM_UNSORTED, SM_NAME, SM_MTIME, SM_SIZE, SM_DESCR, SM_OWNER})
        EXPECT_EQ(-2, compare(panel->handle(), &a, &b, mode)) << mode;
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
        {"Shift", kb.ShiftTitles, {"PlHelp", "", "", "", "Rescan", "Reload", "ClrCch", "Unload", "-", "-", "-", "-"}},
        {"Alt", kb.AltTitles, {"-", "-", "", "", "", "", "-", "-", "-", "-", "-", "-"}},
        {"Ctrl", kb.CtrlTitles, {"-", "-", "-", "ByPath", "-", "-", "-", "-", "-", "-", "ByVer", "-"}},
    };
    for (const auto& row : rows)
        for (int f = 1; f <= 12; ++f)
            EXPECT_EQ(row.labels[f - 1], row.titles[f - 1] ? row.titles[f - 1] : "-") << row.row << " F" << f;
    // The panel modes: columns, widths and titles per view mode.
    const PanelMode* modes = info.PanelModesArray;
    ASSERT_NE(nullptr, modes);
    EXPECT_STREQ("NO,P,Z,O", modes[0].ColumnTypes);
    EXPECT_STREQ("15,7,0,14", modes[0].ColumnWidths);
    EXPECT_STREQ("NO,SC,D", modes[0].StatusColumnTypes);
    EXPECT_EQ(1, modes[0].FullScreen);
    EXPECT_STREQ("NO,Z", modes[1].ColumnTypes);
    EXPECT_EQ(nullptr, modes[1].ColumnTitles);
    EXPECT_STREQ("PC,D,O", modes[1].StatusColumnTypes);
    EXPECT_STREQ("13", modes[1].StatusColumnWidths);
    EXPECT_STREQ("NO,O", modes[2].ColumnTypes);
    ASSERT_NE(nullptr, modes[0].ColumnTitles);
    EXPECT_EQ(nullptr, modes[0].ColumnTitles[0]);
    EXPECT_STREQ("Size", modes[0].ColumnTitles[1]);
    EXPECT_EQ(nullptr, modes[0].ColumnTitles[2]);
    EXPECT_STREQ("Version", modes[0].ColumnTitles[3]);
    EXPECT_STREQ("Version", modes[2].ColumnTitles[1]);
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
    EXPECT_STREQ("\x90\xa0\xa7\xac\xa5\xe0", info.PanelModesArray[0].ColumnTitles[1]);
    EXPECT_STREQ("\x82\xa5\xe0\xe1\xa8\xef", info.PanelModesArray[2].ColumnTitles[1]);
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
