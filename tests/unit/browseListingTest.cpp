#include "browse/browse.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testing_support;

TEST(FillBrowseItem, NamesItemsByFullPathAndNeverWritesPastTheCountedArray) {
    PluginPanelItem items[3];
    memset(items, 0, sizeof items);
    BrowseCursor cursor = {items, items + 2};   // room for two; the third slot must stay untouched
    WIN32_FIND_DATAA entry = {};
    entry.nFileSizeLow = 42;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        strcpy(entry.cFileName, name);
        fillBrowseItem(&entry, "C:\\Far\\Plugins\\Net\\", &cursor);
    }
    EXPECT_STREQ("C:\\Far\\Plugins\\Net\\a.txt", items[0].FindData.cFileName);
    EXPECT_STREQ("C:\\Far\\Plugins\\Net\\b.txt", items[1].FindData.cFileName);
    EXPECT_EQ(42u, items[1].FindData.nFileSizeLow);
    EXPECT_EQ(0, items[2].FindData.cFileName[0]);
    EXPECT_EQ(items + 2, cursor.next);
    EXPECT_EQ(0, fillBrowseItem(&entry, "C:\\", nullptr));
}

TEST(FillBrowseItem, AnEntryWhosePathWouldExceed259CharactersIsLeftOut) {
    PluginPanelItem item;
    memset(&item, 0, sizeof item);
    BrowseCursor cursor = {&item, &item + 1};
    WIN32_FIND_DATAA entry = {};
    memset(entry.cFileName, 'n', 200);
    std::string folder = "C:\\" + std::string(100, 'f') + "\\";
    EXPECT_EQ(0, fillBrowseItem(&entry, folder.c_str(), &cursor));
    EXPECT_EQ(&item, cursor.next);
}

TEST(BrowseListing, CountsOnlyTheItemsItFilled) {
    TempDir dir("browse");
    writeFile(dir / "one.txt", "1");
    writeFile(dir / "sub\\two.txt", "2");
    PanelState panel;
    memset(&panel, 0, sizeof panel);
    strcpy(panel.currentDir, dir.path().c_str());
    panel.browseRootLength = 3;
    PluginPanelItem* items = nullptr;
    int count = -1;
    EXPECT_EQ(1, listBrowseFolder(&panel, &items, &count));
    ASSERT_EQ(3, count);
    // First the way up, named so that the host says "Up" on it.
    EXPECT_EQ("..", std::string(items[0].FindData.cFileName));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), items[0].FindData.dwFileAttributes);
    for (int i = 1; i < count; ++i) EXPECT_EQ(0u, std::string(items[i].FindData.cFileName).find(dir.path()));
    HeapFree(GetProcessHeap(), 0, items);
    strcpy(panel.currentDir, (dir / "gone").c_str());
    EXPECT_EQ(1, listBrowseFolder(&panel, &items, &count));
    ASSERT_EQ(1, count) << "only the way back";
    // Nothing to draw the cursor on first: the way back names the folder, so
    // that the host's copy lands inside it.
    EXPECT_EQ(dir / "gone\\..", std::string(items[0].FindData.cFileName));
    HeapFree(GetProcessHeap(), 0, items);
}
