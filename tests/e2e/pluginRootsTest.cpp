// A plugins folder is never a plugin's folder: a DLL lying loose in FAR's
// Plugins folder, in the personal plugins folder or in a bin folder of
// either is told so by F8 and Del, and nothing is removed.
#include "harness.h"

using namespace testing_support;

class PluginRootsTest : public HostTest {};

TEST_F(PluginRootsTest, UninstallNeverTakesAPluginsFolder) {
    const struct {
        const char* what;
        std::string dll;      // below the FAR folder
        std::string item;     // the list's item
        int message;
    } cases[] = {
        {"loose in Plugins", "Plugins\\loose.dll", "Plugins", MUninstallInRoot},
        {"in Plugins\\bin", "Plugins\\bin\\loose.dll", "Plugins", MUninstallInRoot},
        {"loose in the personal folder", "Mine\\loose.dll", "Mine", MUninstallInRoot},
        {"Vantorel itself", "", "Vantorel", MCannotUninstallSelf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.dll.empty()) ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", farDir() + c.dll));
        FarSetup setup;
        setup.personal = true;
        setup.personalValue = farDir() + "Mine";
        start(setup);
        farhost::Panel* panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        std::string item = farDir() + (c.item == "Vantorel" ? "Plugins\\Vantorel" : c.item);
        bool found = false;
        for (const auto& e : panel->items()) found |= e.name == item;
        ASSERT_TRUE(found) << item;
        ASSERT_TRUE(panel->setCurrentByName(item.substr(item.find_last_of('\\') + 1)) || panel->setCurrentByName(item));
        for (int key : {VK_F8, VK_DELETE}) {
            host->clearTranscript();
            host->answerMessages({0});
            panel->key(key, 0);
            ASSERT_EQ(1u, host->messages.size());
            EXPECT_EQ(text(c.message), host->messages[0].lines.at(1));
        }
        if (!c.dll.empty()) EXPECT_TRUE(fileExists(farDir() + c.dll));
        EXPECT_TRUE(fileExists(vantorelDir() + "Vantorel.dll"));
        host.reset();
        if (!c.dll.empty()) DeleteFileA((farDir() + c.dll).c_str());
    }
}
