// Entering a plugin's folder, moving inside it, and coming back to the list;
// and how the panel looks in either mode.
#include "harness.h"
#include "panels/drop.h"

using namespace testing_support;

namespace {

bool selectByFullName(farhost::Panel* panel, const std::string& name) {
    for (size_t i = 0; i < panel->items().size(); ++i)
        if (panel->items()[i].name == name) {
            panel->setCurrent(static_cast<int>(i));
            return true;
        }
    return false;
}

// The plugin's own way up: the browsed folder followed by "\..".
bool wayUp(const farhost::PanelEntry& e) {
    return e.isDots || (e.name.size() >= 3 && e.name.compare(e.name.size() - 3, 3, "\\..") == 0);
}

std::vector<std::string> sortedNames(const farhost::Panel* panel) {
    std::vector<std::string> out;
    for (const auto& e : panel->items())
        if (!wayUp(e)) out.push_back(e.name);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

class BrowseTest : public HostTest {
protected:
    void SetUp() override {
        writeFile(pluginsDir() + "Net\\bin\\net.dll", "dll");
        writeFile(pluginsDir() + "Net\\readme.txt", "hello");
        writeFile(pluginsDir() + "Net\\docs\\guide.txt", "guide");
        writeFile(pluginsDir() + "Two\\one.dll", "1");
        writeFile(pluginsDir() + "Two\\two.dll", "2");
        makeDirs(pluginsDir() + "Empty");
        start();
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
    }
    farhost::Panel* panel = nullptr;
    std::string net() const { return pluginsDir() + "Net"; }
};

TEST_F(BrowseTest, EnteringAPluginInABinFolderBrowsesItsParent) {
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(net(), panel->curDir());
    EXPECT_EQ(" " + net() + " ", panel->title());   // padded as the host pads its own
    EXPECT_EQ((std::vector<std::string>{net() + "\\bin", net() + "\\docs", net() + "\\readme.txt"}),
              sortedNames(panel));
    // Browse items are plain files: no catalogue index, no description.
    for (const auto& e : panel->items()) {
        if (wayUp(e)) continue;
        EXPECT_EQ(0u, e.raw.NumberOfLinks);
        EXPECT_FALSE(e.hasDescription);
        EXPECT_FALSE(e.hasOwner);
    }
    EXPECT_EQ(0x7874u, panel->info().Flags);   // no dots from the host
    EXPECT_EQ(10, panel->info().PanelModesNumber);   // its own, with names in the status line
    EXPECT_EQ(nullptr, panel->info().KeyBar);
}

TEST_F(BrowseTest, DotsClimbToTheBrowseRootThenLeaveAndBackslashLeavesFromAnyDepth) {
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(selectByFullName(panel, net() + "\\docs"));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(net() + "\\docs", panel->curDir());
    EXPECT_EQ((std::vector<std::string>{net() + "\\docs\\guide.txt"}), sortedNames(panel));
    ASSERT_TRUE(panel->setDirectory(".."));
    EXPECT_EQ(net(), panel->curDir());
    ASSERT_TRUE(panel->setDirectory(".."));
    EXPECT_EQ(0x2874u, panel->info().Flags);          // list mode again
    EXPECT_EQ(10, panel->info().PanelModesNumber);
    EXPECT_EQ(" Vantorel ", panel->title());

    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(selectByFullName(panel, net() + "\\docs"));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(panel->setDirectory("\\"));
    EXPECT_EQ(0x2874u, panel->info().Flags);
    // The host puts the cursor on the first item; the plugin moves it back
    // onto the plugin whose folder was left.
    const std::string two = pluginsDir() + "Two";
    ASSERT_TRUE(selectByFullName(panel, two));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(panel->setDirectory("\\"));
    EXPECT_NE(two, std::string(panel->items()[0].raw.FindData.cFileName));
    EXPECT_EQ(two, std::string(panel->items()[panel->current()].raw.FindData.cFileName));
    // ... until the user moves it himself.
    panel->setCurrent(0);
    panel->redraw();
    EXPECT_EQ(0, panel->current());
}

TEST_F(BrowseTest, AnUnknownNameIsRefusedInListMode) {
    auto setDirectory = reinterpret_cast<PFN_SetDirectory>(vantorel->proc("SetDirectory"));
    EXPECT_EQ(0, setDirectory(panel->handle(), (pluginsDir() + "Nowhere").c_str(), 0));
    EXPECT_EQ(0, setDirectory(panel->handle(), (net() + "\\").c_str(), 0));   // names compare exactly
    panel->read();
    EXPECT_EQ(0x2874u, panel->info().Flags);
}

TEST_F(BrowseTest, AnEmptyPluginFolderListsNothing) {
    writeFile(pluginsDir() + "Empty\\e.dll", "e");
    panel->read();
    ASSERT_TRUE(selectByFullName(panel, pluginsDir() + "Empty"));
    DeleteFileA((pluginsDir() + "Empty\\e.dll").c_str());
    ASSERT_TRUE(panel->enter());
    EXPECT_TRUE(sortedNames(panel).empty());
    ASSERT_EQ(1u, panel->items().size());
    // With nothing inside to draw the cursor on, the way back names the
    // folder, so that the host's copy lands inside it.
    EXPECT_EQ(pluginsDir() + "Empty\\..", panel->items()[0].name);
}

TEST_F(BrowseTest, TwoDllsInOneFolderBrowseTheSameFolder) {
    ASSERT_TRUE(selectByFullName(panel, pluginsDir() + "Two"));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(pluginsDir() + "Two", panel->curDir());
    EXPECT_EQ((std::vector<std::string>{pluginsDir() + "Two\\one.dll", pluginsDir() + "Two\\two.dll"}),
              sortedNames(panel));
}

TEST_F(BrowseTest, ANameThatIsNoFolderTakesTheUserUp) {
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(selectByFullName(panel, net() + "\\docs"));
    ASSERT_TRUE(panel->enter());
    // Enter on the plugin's own ".." comes as a name the host composes.
    ASSERT_TRUE(panel->setDirectory(net() + "\\docs\\Net"));
    EXPECT_EQ(net(), panel->curDir());
    // A bare name is a folder inside the browsed one.
    ASSERT_TRUE(panel->setDirectory("docs"));
    EXPECT_EQ(net() + "\\docs", panel->curDir());
    ASSERT_TRUE(panel->setDirectory(".."));
    ASSERT_TRUE(panel->setDirectory("nowhere"));
    EXPECT_EQ(0x2874u, panel->info().Flags);
}

// Copying onto a browsing panel is the host's own copy, into the folder it
// took from the item it last drew under the cursor (on ".." it keeps the one
// it had): that must be the browsed folder, not the one above it, where a
// loose DLL becomes a plugin at the next start.
TEST_F(BrowseTest, TheHostCopiesIntoTheBrowsedFolderWhereverTheCursorIs) {
    writeFile(dir / "Downloads\\new.txt", "new");
    makeDirs(net() + "\\docs\\blank");
    const struct {
        const char* what;
        std::vector<std::string> folders;   // entered one after the other, below Net
        std::vector<int> keys;
        bool move;
    } rows[] = {
        {"on .. right after entering the plugin", {}, {}, false},
        {"on .. right after entering a subfolder", {"\\docs"}, {}, false},
        {"on a file", {"\\docs"}, {VK_DOWN}, false},
        {"back on ..", {"\\docs"}, {VK_DOWN, VK_UP}, true},
        {"in an empty folder", {"\\docs", "\\docs\\blank"}, {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(panel->setDirectory("\\") || panel->inList());
        ASSERT_TRUE(selectByFullName(panel, net()));
        ASSERT_TRUE(panel->enter());
        for (const std::string& folder : row.folders) {
            ASSERT_TRUE(selectByFullName(panel, net() + folder));
            ASSERT_TRUE(panel->enter());
        }
        for (int key : row.keys) panel->key(key, 0);
        std::string into = net() + (row.folders.empty() ? std::string() : row.folders.back()) + "\\";
        EXPECT_EQ(into, farhost::hostCopyFolder(*panel));
        farhost::FolderPanel source(dir / "Downloads");
        source.key(VK_DOWN, 0);
        ASSERT_TRUE(farhost::copyOnto(*host, *panel, source, nullptr, nullptr, row.move));
        EXPECT_EQ("new", readFile(into + "new.txt"));
        EXPECT_FALSE(fileExists(pluginsDir() + "new.txt"));
        EXPECT_EQ(!row.move, fileExists(dir / "Downloads\\new.txt")) << "F6 moves";
        DeleteFileA((into + "new.txt").c_str());
        if (row.move) writeFile(dir / "Downloads\\new.txt", "new");
    }
}

// FAR's own panels say "Up" on ".." in the size column of the status line;
// the host says it only for an item named exactly "..".
TEST_F(BrowseTest, TheStatusLineSaysUpOnTheWayUp) {
    const struct {
        const char* what;
        std::vector<std::string> folders;
    } rows[] = {
        {"the plugin's folder", {}},
        {"a subfolder", {"\\docs"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(panel->setDirectory("\\") || panel->inList());
        ASSERT_TRUE(selectByFullName(panel, net()));
        ASSERT_TRUE(panel->enter());
        for (const std::string& folder : row.folders) {
            ASSERT_TRUE(selectByFullName(panel, net() + folder));
            ASSERT_TRUE(panel->enter());
        }
        ASSERT_EQ("..", panel->items()[panel->current()].name);
        for (int mode = 0; mode < 10; ++mode) {
            panel->setViewMode(mode);
            std::string shown = panel->render(80);
            std::string status = shown.substr(shown.find("\n    -") + 1);
            status = status.substr(status.find('\n') + 1);
            status = status.substr(0, status.find('\n'));
            EXPECT_NE(std::string::npos, status.find("<Up>")) << "mode " << mode << "\n" << shown;
        }
    }
}

TEST_F(BrowseTest, AnOverlongFolderNameIsRefused) {
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    auto setDirectory = reinterpret_cast<PFN_SetDirectory>(vantorel->proc("SetDirectory"));
    std::string tooLong = net() + "\\" + std::string(300, 'x');
    EXPECT_EQ(0, setDirectory(panel->handle(), tooLong.c_str(), 0));
    panel->read();
    EXPECT_EQ(net(), panel->curDir());
}

TEST_F(BrowseTest, EachModeKeepsTheViewModeTheUserGaveIt) {
    // Opened in the start view mode (1 by default).
    EXPECT_EQ(1, panel->viewMode());
    panel->setViewMode(2);
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    panel->setViewMode(4);
    ASSERT_TRUE(panel->setDirectory("\\"));
    EXPECT_EQ(2, panel->viewMode());
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(4, panel->viewMode());
}

TEST_F(BrowseTest, FindModeEntersAndLeavesWithoutTouchingTheViewMode) {
    panel->setViewMode(3);
    auto setDirectory = reinterpret_cast<PFN_SetDirectory>(vantorel->proc("SetDirectory"));
    ASSERT_TRUE(selectByFullName(panel, net()));
    EXPECT_EQ(1, setDirectory(panel->handle(), net().c_str(), OPM_FIND));
    EXPECT_EQ(3, panel->viewMode());
    EXPECT_EQ(1, setDirectory(panel->handle(), "\\", OPM_FIND));
    EXPECT_EQ(3, panel->viewMode());
}

TEST_F(BrowseTest, TwoOpenPanelsKeepTheirOwnState) {
    farhost::Panel* other = vantorel->open();
    ASSERT_NE(nullptr, other);
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    // The second panel rebuilds, browses elsewhere and closes; the first keeps browsing.
    ASSERT_TRUE(other->read());
    ASSERT_TRUE(selectByFullName(other, pluginsDir() + "Two"));
    ASSERT_TRUE(other->enter());
    EXPECT_EQ(pluginsDir() + "Two", other->curDir());
    other->close();
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(net(), panel->curDir());
    ASSERT_TRUE(panel->setDirectory(".."));
    ASSERT_TRUE(selectByFullName(panel, pluginsDir() + "Two"));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(pluginsDir() + "Two", panel->curDir());
}
