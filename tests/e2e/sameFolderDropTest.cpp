// Copying onto the list what lies in the plugin folders already (an item of
// another Vantorel panel, or a file of an installed plugin) would copy every
// file onto itself: it is refused at once, nothing is asked or copied.
#include "harness.h"
#include "../../src/ui/messages.h"

using namespace testing_support;

TEST_F(HostTest, ADropFromThePluginFoldersIsRefusedAtOnce) {
    addFixture("recorder", "Rec\\");
    ASSERT_TRUE(writeFile(dir / "Downloads\\readme.txt", "r"));
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    const std::string recDll = readFile(pluginsDir() + "Rec\\recorder.dll");
    const struct { std::string source; std::string name; } drops[] = {
        {pluginsDir(), pluginsDir() + "Rec"},        // the item of another Vantorel list
        {pluginsDir() + "Rec\\", "recorder.dll"},    // a file of an installed plugin, by name
    };
    for (const auto& d : drops) {
        host->clearTranscript();
        farhost::PutResult r = panel->putFiles(d.source, {d.name});
        EXPECT_EQ(0, r.result) << d.name;
        ASSERT_EQ(1u, host->messages.size()) << d.name;   // no question, no progress
        EXPECT_EQ(text(MSameFolder), host->messages[0].lines.at(1));
        EXPECT_EQ(std::vector<bool>{true}, r.kept) << "the selection stays";
    }
    EXPECT_EQ(recDll, readFile(pluginsDir() + "Rec\\recorder.dll"));
    // A file from elsewhere still reaches the installer (its question).
    host->clearTranscript();
    host->answerMessages({1});
    panel->putFiles(dir / "Downloads\\", {"readme.txt"});
    ASSERT_FALSE(host->messages.empty());
    EXPECT_NE(text(MSameFolder), host->messages[0].lines.at(1));
}
