// Small rules behind what the user sees: the load mark of a list item, the
// language a cached description was written in, and which dropped items lie
// in the plugin folders already.
#include "describe/descriptionLanguage.h"
#include "catalogue/loadMark.h"
#include "install/sameFolderCheck.h"

#include <gtest/gtest.h>

#include <string>

TEST(LoadMark, EachStateShowsItsOwnMarkAndOnlyALoadedPluginIsSystem) {
    struct Case { LoadState state; bool marking; DWORD attributes; std::string text; } cases[] = {
        {LOAD_NOT_LOADED, true, 0, ""},
        {LOAD_LOADED, true, FILE_ATTRIBUTE_SYSTEM, "*"},
        {LOAD_UNLOADED_HERE, true, 0, "-"},
        {LOAD_LOADED, false, 0, ""},          // marking off: nothing at all
        {LOAD_UNLOADED_HERE, false, 0, "-"},
    };
    for (const Case& c : cases) {
        PluginPanelItem item = {};
        item.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        applyLoadMark(&item, c.state, c.marking);
        EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | c.attributes, item.FindData.dwFileAttributes) << c.state;
        if (c.text.empty()) {
            EXPECT_EQ(0, item.CustomColumnNumber) << c.state;
            EXPECT_EQ(nullptr, item.CustomColumnData) << c.state;
        } else {
            ASSERT_EQ(1, item.CustomColumnNumber) << c.state;
            EXPECT_EQ(c.text, item.CustomColumnData[0]) << c.state;
        }
    }
}

TEST(DescriptionLanguage, OnlyADescriptionTiedToAnotherLanguageIsStale) {
    DWORD english = languageTag("English"), russian = languageTag("Russian");
    EXPECT_NE(0u, english);
    EXPECT_NE(english, russian);
    EXPECT_EQ(english, languageTag("ENGLISH"));
    EXPECT_EQ(0u, languageTag(""));
    CatalogueRecord r = {};
    EXPECT_TRUE(describedInLanguage(r, russian));     // from file_id.diz: any language
    r.item.Reserved[0] = english;
    EXPECT_TRUE(describedInLanguage(r, english));
    EXPECT_FALSE(describedInLanguage(r, russian));
}

TEST(SameFolder, PathsInOrAtAFolderLieWithinItOthersDoNot) {
    struct Case { const char* path; bool within; } cases[] = {
        {"C:\\Far\\Plugins\\MultiArc", true},
        {"c:\\far\\plugins\\MultiArc\\MultiArc.dll", true},
        {"C:\\Far\\Plugins", true},              // a DLL lying in the root itself
        {"C:\\Far\\PluginsOld\\x.dll", false},
        {"C:\\Far\\Plugin", false},
        {"D:\\Downloads\\weather.dll", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.within, liesWithin(c.path, "C:\\Far\\Plugins\\")) << c.path;
    EXPECT_FALSE(liesWithin("C:\\Far\\Plugins\\x", nullptr));
    EXPECT_FALSE(liesWithin("C:\\Far\\Plugins\\x", "C:\\Far\\Plugins"));   // a folder ends with a backslash
}
