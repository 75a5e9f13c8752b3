// Alt+F5 on every shape a plugin's folder takes: its DLL in bin\ or deeper,
// plugin DLLs in two folders of one plugin, helper DLLs beside it (not
// plugins: never renamed); a rename that fails puts everything back; an
// update keeps a switched-off plugin off wherever its new build holds its
// DLL; a mixed selection is switched off. And every key that changes a
// plugin's files refuses a DLL loose in a plugins folder, a plugins root,
// and a personal plugins folder named bin.
#include "harness.h"

using namespace testing_support;

namespace {

bool containsText(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

// Every file under folder (relative paths), for "nothing changed".
void listFiles(const std::string& folder, const std::string& rel, std::vector<std::string>& out) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == ".." || (name.size() > 4 && name.substr(name.size() - 4) == ".log")) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) listFiles(folder + "\\" + name, rel + name + "\\", out);
        else out.push_back(rel + name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(out.begin(), out.end());
}

}  // namespace

class SwitchShapesTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;

    void openList(FarSetup setup = FarSetup()) {
        setup.loadAll = true;
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    std::vector<std::string> press(const std::string& item, int vk, unsigned state, std::initializer_list<int> answers) {
        EXPECT_TRUE(panel->setCurrentByName(item)) << item;
        host->clearTranscript();
        host->answerMessages(answers);
        panel->key(vk, state);
        return shown();
    }
    // Selected with Ins, unless it is selected already.
    void select(const std::string& item) {
        ASSERT_TRUE(panel->setCurrentByName(item)) << item;
        const auto& entry = panel->items()[panel->current()];
        if (!(entry.raw.Flags & PPIF_SELECTED)) panel->key(VK_INSERT, 0);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> lines;
        for (const auto& m : host->messages) lines.insert(lines.end(), m.lines.begin(), m.lines.end());
        return lines;
    }
    std::vector<std::string> filesUnder(const std::string& folder) const {
        std::vector<std::string> files;
        listFiles(folder, "", files);
        return files;
    }
};

// Off renames exactly the plugin DLLs of the folder, wherever below it they
// lie; on brings back exactly those.
TEST_F(SwitchShapesTest, OffAndOnRenameEveryPluginDllOfTheFolderAndNothingElse) {
    const struct {
        const char* shape;
        const char* item;
        std::vector<std::pair<std::string, std::string>> files;   // fixture DLL -> place below Plugins
        std::vector<std::string> plugins;   // renamed
        std::vector<std::string> helpers;   // left as they are
    } shapes[] = {
        {"its DLL in bin\\", "Binplug", {{"binplug\\bin\\binplug", "Binplug\\bin\\binplug.dll"}}, {"Binplug\\bin\\binplug.dll"}, {}},
        {"its DLL in a subfolder", "Inner", {{"nover", "Deep\\Inner\\nover.dll"}}, {"Deep\\Inner\\nover.dll"}, {}},
        {"plugin DLLs in two folders",
         "Two",
         {{"nover", "Two\\nover.dll"}, {"recorder", "Two\\bin\\recorder.dll"}, {"hexview", "Two\\Extra\\hexview.dll"}},
         {"Two\\nover.dll", "Two\\bin\\recorder.dll", "Two\\Extra\\hexview.dll"},
         {}},
        {"helper DLLs beside it",
         "Helped",
         {{"nover", "Helped\\nover.dll"}, {"noexports", "Helped\\helper.dll"}, {"noexports", "Helped\\Lib\\util.dll"}},
         {"Helped\\nover.dll"},
         {"Helped\\helper.dll", "Helped\\Lib\\util.dll"}},
    };
    for (const auto& s : shapes) {
        SCOPED_TRACE(s.shape);
        for (const auto& f : s.files)
            ASSERT_TRUE(copyFile(fixtureDir(f.first.substr(0, f.first.find('\\'))) +
                                     f.first.substr(f.first.find('\\') + 1) + ".dll",
                                 pluginsDir() + f.second));
        openList();
        std::vector<std::string> told = press(s.item, VK_F5, PKF_ALT, {0});
        ASSERT_TRUE(containsText(told, text(MAskSwitchOff))) << testing::PrintToString(told);
        for (const std::string& dll : s.plugins) {
            EXPECT_TRUE(fileExists(pluginsDir() + dll + ".off")) << dll;
            EXPECT_FALSE(fileExists(pluginsDir() + dll)) << dll;
            EXPECT_FALSE(moduleLoaded(pluginsDir() + dll)) << dll;
        }
        for (const std::string& helper : s.helpers) EXPECT_TRUE(fileExists(pluginsDir() + helper)) << helper;

        told = press(s.item, VK_F5, PKF_ALT, {0, 0});
        ASSERT_TRUE(containsText(told, text(MAskSwitchOn))) << testing::PrintToString(told);
        for (const std::string& dll : s.plugins) EXPECT_TRUE(fileExists(pluginsDir() + dll)) << dll;
        for (const std::string& helper : s.helpers) EXPECT_TRUE(fileExists(pluginsDir() + helper)) << helper;
        std::vector<std::string> left = filesUnder(pluginsDir());
        for (const std::string& file : left) EXPECT_EQ(std::string::npos, file.find(".off")) << file;
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
    }
}

// The second rename finds its name taken: the first DLL is renamed back,
// and the box names what stands in the way.
TEST_F(SwitchShapesTest, AFailedSecondRenamePutsAllBackAndNamesTheFileInTheWay) {
    ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", pluginsDir() + "Spy\\aaa.dll"));
    ASSERT_TRUE(copyFile(fixtureDir("recorder") + "recorder.dll", pluginsDir() + "Spy\\spy.dll"));
    ASSERT_TRUE(makeDirs(pluginsDir() + "Spy\\spy.dll.off"));
    openList();
    const std::vector<std::string> before = filesUnder(pluginsDir());
    std::vector<std::string> told = press("Spy", VK_F5, PKF_ALT, {0});
    EXPECT_TRUE(containsText(told, text(MCannotRename))) << testing::PrintToString(told);
    bool named = false;
    for (const std::string& line : told) named |= line.size() >= 12 && line.substr(line.size() - 12) == "\\spy.dll.off";
    EXPECT_TRUE(named) << testing::PrintToString(told);
    EXPECT_EQ(before, filesUnder(pluginsDir())) << "both DLLs as they were";
    EXPECT_TRUE(fileExists(pluginsDir() + "Spy\\aaa.dll"));
    std::vector<std::string> menu = host->diskMenu();
    EXPECT_TRUE(std::find(menu.begin(), menu.end(), "No version fixture") != menu.end()) << "FAR has it back";
    EXPECT_TRUE(host->faults.empty()) << host->faults.front();
}

// A new build whose DLL moved into bin\ dropped over a switched-off plugin:
// it stays off, and the old build's switched-off DLL does not stay beside it.
TEST_F(SwitchShapesTest, AnUpdateThatMovesTheDllIntoBinStaysOff) {
    addFixture("calllogall", "Zeta\\");
    ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", dir / "Downloads\\Zeta\\bin\\calllogall.dll"));
    ASSERT_TRUE(copyFile(fixtureDir("noexports") + "noexports.dll", dir / "Downloads\\Zeta\\bin\\helper.dll"));
    openList();
    press("Zeta", VK_F5, PKF_ALT, {0});
    ASSERT_TRUE(fileExists(pluginsDir() + "Zeta\\calllogall.dll.off"));
    host->clearTranscript();
    host->answerMessages({1, 0});
    panel->putFiles(dir / "Downloads\\", {"Zeta"});
    EXPECT_TRUE(containsText(shown(), text(MUpdateStaysOff))) << testing::PrintToString(shown());
    EXPECT_EQ(readFile(fixtureDir("calllogall2") + "calllogall2.dll"), readFile(pluginsDir() + "Zeta\\bin\\calllogall.dll.off"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Zeta\\bin\\calllogall.dll")) << "the new build is off";
    EXPECT_FALSE(fileExists(pluginsDir() + "Zeta\\calllogall.dll.off")) << "switched on, it would come twice";
    EXPECT_TRUE(fileExists(pluginsDir() + "Zeta\\bin\\helper.dll")) << "no plugin: its name stays";

    // Switched on, the new build is the one plugin there. The helper DLL has
    // an item of its own, off with its plugin: Alt+F5 there switches it on.
    const auto& items = panel->items();
    int helper = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].name == pluginsDir() + "Zeta" &&
            !(items[i].raw.CustomColumnNumber > 0 && items[i].raw.CustomColumnData &&
              std::string(items[i].raw.CustomColumnData[0]) == "o"))
            helper = static_cast<int>(i);
    ASSERT_GE(helper, 0);
    panel->setCurrent(helper);
    host->clearTranscript();
    host->answerMessages({0, 0});
    panel->key(VK_F5, PKF_ALT);
    std::vector<std::string> told = shown();
    EXPECT_TRUE(containsText(told, text(MAskSwitchOn))) << testing::PrintToString(told);
    std::vector<std::string> dlls;
    for (const std::string& file : filesUnder(pluginsDir() + "Zeta"))
        if (file.size() > 4 && file.substr(file.size() - 4) == ".dll") dlls.push_back(file);
    EXPECT_EQ((std::vector<std::string>{"bin\\calllogall.dll", "bin\\helper.dll"}), dlls);
}

// A selection of plugins that are on and off is switched off; one of
// plugins that are all off is switched on.
TEST_F(SwitchShapesTest, AMixedSelectionIsSwitchedOffOnlyAnAllOffOneOn) {
    addFixture("nover", "Aaa\\");
    addFixture("recorder", "Bbb\\");
    openList();
    press("Aaa", VK_F5, PKF_ALT, {0});
    ASSERT_TRUE(fileExists(pluginsDir() + "Aaa\\nover.dll.off"));
    for (const char* item : {"Aaa", "Bbb"}) select(item);
    std::vector<std::string> told = press("Bbb", VK_F5, PKF_ALT, {0});
    EXPECT_TRUE(containsText(told, text(MAskSwitchOffMany)) || containsText(told, text(MAskSwitchOff)))
        << testing::PrintToString(told);
    EXPECT_TRUE(fileExists(pluginsDir() + "Aaa\\nover.dll.off")) << "stays off";
    EXPECT_TRUE(fileExists(pluginsDir() + "Bbb\\recorder.dll.off")) << "goes off";

    for (const char* item : {"Aaa", "Bbb"}) select(item);
    told = press("Bbb", VK_F5, PKF_ALT, {0, 0});
    EXPECT_TRUE(containsText(told, text(MAskSwitchOnMany))) << testing::PrintToString(told);
    EXPECT_TRUE(fileExists(pluginsDir() + "Aaa\\nover.dll"));
    EXPECT_TRUE(fileExists(pluginsDir() + "Bbb\\recorder.dll"));
}

// Every key that would change the files of a whole plugin folder refuses a
// folder that is no plugin's own, and changes nothing; the keys that act on
// one DLL act on that DLL alone.
TEST_F(SwitchShapesTest, EveryKeyThatChangesFilesRefusesPluginsRootsAndLooseDlls) {
    enum Outcome { REFUSED, THIS_DLL_ONLY, NO_GO_BACK, DROP_REFUSED };
    const struct {
        const char* key;
        int vk;
        unsigned state;
        Outcome outcome;
        int message;
    } keys[] = {
        {"F8", VK_F8, 0, REFUSED, MUninstallInRoot},
        {"Del", VK_DELETE, 0, REFUSED, MUninstallInRoot},
        {"Alt+F5", VK_F5, PKF_ALT, REFUSED, MUninstallInRoot},
        {"Shift+Del", VK_DELETE, PKF_SHIFT, THIS_DLL_ONLY, MAskUnload1},
        {"Shift+F6", VK_F6, PKF_SHIFT, THIS_DLL_ONLY, MReloadLoaded},
        {"go back (F3)", VK_F3, 0, NO_GO_BACK, MBtnGoBack},
        {"a drop", 0, 0, DROP_REFUSED, MLooseInstalled},
    };
    const struct {
        const char* what;
        std::string dll;        // the plugin the item stands for
        std::string personal;   // the personal plugins folder, relative to the test's folder
    } cases[] = {
        {"a DLL loose in the plugins folder", "Far\\Plugins\\loose.dll", ""},
        {"a personal plugins root inside the plugins folder", "Far\\Plugins\\Mine\\loose.dll", "Far\\Plugins\\Mine"},
        {"a personal plugins folder named bin", "Home\\bin\\loose.dll", "Home\\bin"},
    };
    for (const auto& c : cases) {
        for (const auto& k : keys) {
            SCOPED_TRACE(std::string(c.what) + ", " + k.key);
            const std::string dll = dir / c.dll;
            ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", dll));
            addFixture("calllogall", "Zeta\\");
            ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", dir / "Downloads\\loose.dll"));
            FarSetup setup;
            if (!c.personal.empty()) {
                setup.personal = true;
                setup.personalValue = dir / c.personal;
            }
            openList(setup);
            ASSERT_TRUE(moduleLoaded(dll)) << "the host loaded it at start";
            const std::vector<std::string> before = filesUnder(dir / "");
            std::string item;
            for (const auto& e : panel->items())
                if (!e.isDots && e.name.find("Zeta") == std::string::npos && e.name != selfItem())
                    item = e.name.substr(e.name.find_last_of('\\') + 1);
            ASSERT_FALSE(item.empty());

            std::vector<std::string> told;
            if (k.outcome == DROP_REFUSED) {
                host->clearTranscript();
                host->answerMessages({1, 0});
                EXPECT_EQ(0, panel->putFiles(dir / "Downloads\\", {"loose.dll"}).result);
                told = shown();
            } else {
                told = press(item, k.vk, k.state, {0, 0});
            }
            if (k.outcome == NO_GO_BACK) {
                ASSERT_FALSE(host->messages.empty());
                for (const auto& box : host->messages)
                    for (const std::string& button : box.buttons) EXPECT_NE(text(k.message), button);
            } else {
                EXPECT_TRUE(containsText(told, text(k.message))) << testing::PrintToString(told);
            }
            EXPECT_EQ(before, filesUnder(dir / "")) << "no file changed";
            EXPECT_TRUE(moduleLoaded(pluginsDir() + "Zeta\\calllogall.dll")) << "no other plugin let go of";
            EXPECT_EQ(k.outcome != THIS_DLL_ONLY || k.vk != VK_DELETE, moduleLoaded(dll));
            EXPECT_TRUE(host->faults.empty()) << host->faults.front();
            host.reset();
            removeTree(dir / "Far");
            removeTree(dir / "Home");
            removeTree(dir / "Downloads");
        }
    }
}
