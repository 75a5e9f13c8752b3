// F7 while a plugin's folder is browsed makes the folder in that very folder
// (the host's own F7 would make it in the host's current folder) and shows
// it with the cursor on it.
#include "harness.h"
#include "../../src/ui/messages.h"

using namespace testing_support;

namespace {

int entryCount(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++n;
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return n;
}

}  // namespace

class BrowseMakeFolderTest : public HostTest {
protected:
    void SetUp() override {
        writeFile(pluginsDir() + "Net\\bin\\net.dll", "dll");
        writeFile(pluginsDir() + "Net\\docs\\guide.txt", "guide");
        writeFile(pluginsDir() + "Editor\\editor.dll", "dll");
        start();
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    farhost::Panel* panel = nullptr;
    bool enterFolder(const std::string& fullName) {
        for (size_t i = 0; i < panel->items().size(); ++i)
            if (panel->items()[i].name == fullName) {
                panel->setCurrent(static_cast<int>(i));
                return panel->enter();
            }
        return false;
    }
    void answerInputBox(const std::string& text) {
        farhost::DialogScript script;
        script.result = text.empty() ? -1 : 0;   // empty: Esc
        script.edits[2] = text;
        host->queueDialog(script);
    }
};

TEST_F(BrowseMakeFolderTest, TheFolderIsMadeInTheBrowsedFolderAndTheCursorStandsOnIt) {
    const std::string net = pluginsDir() + "Net";
    const struct {
        const char* what;
        std::vector<std::string> path;   // folders entered from the list
        std::string typed;
        std::string made;                // "" when nothing is made
    } cases[] = {
        {"right after entering from the list", {net}, "New", net + "\\New"},
        {"one folder deeper", {net, net + "\\docs"}, " Deeper ", net + "\\docs\\Deeper"},
        {"with a folder on the way", {net}, "a\\b", net + "\\a\\b"},
        {"Esc", {net}, "", ""},
    };
    for (const auto& c : cases) {
        if (!panel->inList()) {
            ASSERT_TRUE(panel->setDirectory("\\")) << c.what;
        }
        for (const auto& folder : c.path) ASSERT_TRUE(enterFolder(folder)) << c.what << ": " << folder;
        answerInputBox(c.typed);
        int before = entryCount(c.path.back());
        host->clearTranscript();
        EXPECT_EQ(1, panel->key(VK_F7)) << c.what;
        ASSERT_EQ(1u, host->dialogs.size()) << c.what;
        EXPECT_EQ(text(MMakeFolderPrompt), host->dialogs[0].before.at(1).Data) << c.what;
        if (c.made.empty()) {
            EXPECT_EQ(before, entryCount(c.path.back())) << c.what;
            continue;
        }
        DWORD a = GetFileAttributesA(c.made.c_str());
        EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << c.what;
        std::string shown = c.made.substr(0, c.made.find('\\', c.path.back().size() + 1));
        ASSERT_GE(panel->current(), 0) << c.what;
        EXPECT_EQ(shown, panel->items().at(static_cast<size_t>(panel->current())).name) << c.what;
    }
    EXPECT_FALSE(fileExists(pluginsDir() + "Editor\\New"));
    EXPECT_FALSE(fileExists(pluginsDir() + "New"));
}
