// Entering a plugin's folder, moving inside it, and coming back to the list;
// and how the panel looks in either mode.
#include "harness.h"

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

std::vector<std::string> sortedNames(const farhost::Panel* panel) {
    std::vector<std::string> out;
    for (const auto& e : panel->items())
        if (!e.isDots) out.push_back(e.name);
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
    EXPECT_EQ(net(), panel->title());
    EXPECT_EQ((std::vector<std::string>{net() + "\\bin", net() + "\\docs", net() + "\\readme.txt"}),
              sortedNames(panel));
    // Browse items are plain files: no catalogue index, no description.
    for (const auto& e : panel->items()) {
        if (e.isDots) continue;
        EXPECT_EQ(0u, e.raw.NumberOfLinks);
        EXPECT_FALSE(e.hasDescription);
        EXPECT_FALSE(e.hasOwner);
    }
    EXPECT_EQ(0x787Cu, panel->info().Flags);
    EXPECT_EQ(0, panel->info().PanelModesNumber);
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
    EXPECT_EQ(0xA870u, panel->info().Flags);          // list mode again
    EXPECT_EQ(3, panel->info().PanelModesNumber);
    EXPECT_EQ("Vantorel", panel->title());

    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(selectByFullName(panel, net() + "\\docs"));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(panel->setDirectory("\\"));
    EXPECT_EQ(0xA870u, panel->info().Flags);
}

TEST_F(BrowseTest, AnUnknownNameIsRefusedInListMode) {
    auto setDirectory = reinterpret_cast<PFN_SetDirectory>(vantorel->proc("SetDirectory"));
    EXPECT_EQ(0, setDirectory(panel->handle(), (pluginsDir() + "Nowhere").c_str(), 0));
    EXPECT_EQ(0, setDirectory(panel->handle(), (net() + "\\").c_str(), 0));   // names compare exactly
    panel->read();
    EXPECT_EQ(0xA870u, panel->info().Flags);
}

TEST_F(BrowseTest, AnEmptyPluginFolderListsNothing) {
    writeFile(pluginsDir() + "Empty\\e.dll", "e");
    panel->read();
    ASSERT_TRUE(selectByFullName(panel, pluginsDir() + "Empty"));
    DeleteFileA((pluginsDir() + "Empty\\e.dll").c_str());
    ASSERT_TRUE(panel->enter());
    EXPECT_TRUE(sortedNames(panel).empty());
    ASSERT_FALSE(panel->items().empty());
    EXPECT_TRUE(panel->items()[0].isDots);   // the host's way back
}

TEST_F(BrowseTest, TwoDllsInOneFolderBrowseTheSameFolder) {
    ASSERT_TRUE(selectByFullName(panel, pluginsDir() + "Two"));
    ASSERT_TRUE(panel->enter());
    EXPECT_EQ(pluginsDir() + "Two", panel->curDir());
    EXPECT_EQ((std::vector<std::string>{pluginsDir() + "Two\\one.dll", pluginsDir() + "Two\\two.dll"}),
              sortedNames(panel));
}

TEST_F(BrowseTest, ATypedFolderWithoutBackslashLeavesSafelyOnDots) {
    ASSERT_TRUE(selectByFullName(panel, net()));
    ASSERT_TRUE(panel->enter());
    ASSERT_TRUE(panel->setDirectory("nowhere"));
    EXPECT_TRUE(sortedNames(panel).empty());
    ASSERT_TRUE(panel->setDirectory(".."));
    EXPECT_EQ(0xA870u, panel->info().Flags);
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
