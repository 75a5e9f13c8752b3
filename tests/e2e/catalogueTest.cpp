// The list-mode panel: which plugins are found, in which order, under which
// names, with which sizes and marks.
#include "harness.h"

using namespace testing_support;

namespace {

const farhost::PanelEntry* byIndex(const farhost::Panel* panel, DWORD index) {
    for (const auto& e : panel->items())
        if (!e.isDots && e.raw.NumberOfLinks == index) return &e;
    return nullptr;
}

// The entries of a folder in the platform's listing order.
std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) out.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

int progressWindows(const farhost::Host& host) {
    int n = 0;
    for (const auto& m : host.messages) n += m.buttonsNumber == 0 && m.lines.size() == 4 && m.lines[0] == "Scan";
    return n;
}

}  // namespace

TEST_F(HostTest, CatalogueHoldsPersonalPluginsFirstThenTheRootInReverseVisitingOrder) {
    for (const char* name : {"Alpha", "Beta", "Gamma", "Delta"}) addFakeDll(std::string(name) + "\\p.dll");
    writeFile(dir / "Mine\\One\\m1.dll", "x");
    writeFile(dir / "Mine\\Two\\m2.dll", "x");
    FarSetup setup;
    setup.personal = true;
    setup.personalValue = dir / "Mine";
    start(setup);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);

    std::vector<std::string> expected;
    std::vector<std::string> personal = listing(dir / "Mine\\"), root = listing(pluginsDir());
    for (auto it = personal.rbegin(); it != personal.rend(); ++it) expected.push_back(dir / "Mine\\" + *it);
    for (auto it = root.rbegin(); it != root.rend(); ++it) expected.push_back(pluginsDir() + *it);
    std::vector<std::string> got;
    for (DWORD i = 0; const farhost::PanelEntry* e = byIndex(panel, i); ++i) got.push_back(e->name);
    // NumberOfLinks numbers the items 0 to n-1 in catalogue order.
    EXPECT_EQ(expected, got);
    EXPECT_EQ(panel->items().size(), expected.size());
}

TEST_F(HostTest, ItemsAreNamedByThePluginFolderWithTheBinRule) {
    addFakeDll("Arc\\bin\\arc.dll");
    addFakeDll("Net\\BIN\\net.dll");
    addFakeDll("Two\\one.dll");
    addFakeDll("Two\\two.dll");
    addFakeDll("root.dll");
    addFakeDll("Deep\\a\\b\\c\\deep.dll");
    // A folder path of exactly ten characters keeps its bin.
    FarSetup setup;
    setup.personal = true;
    setup.personalValue = "C:\\vt\\bin";
    writeFile("C:\\vt\\bin\\x.dll", "x");
    start(setup);
    farhost::Panel* panel = vantorel->open();
    removeTree("C:\\vt");
    ASSERT_NE(nullptr, panel);
    std::vector<std::string> got = names(panel);
    std::sort(got.begin(), got.end());
    std::vector<std::string> want = {
        "C:\\vt\\bin",
        pluginsDir().substr(0, pluginsDir().size() - 1),   // a DLL right in the root names the root
        pluginsDir() + "Arc",
        pluginsDir() + "Deep\\a\\b\\c",
        pluginsDir() + "Net",
        pluginsDir() + "Two",
        pluginsDir() + "Two",
    };
    std::sort(want.begin(), want.end());
    EXPECT_EQ(want, got);
}

TEST_F(HostTest, FolderTotalsSumTheDllsFolderTree) {
    writeFile(pluginsDir() + "Arc\\bin\\arc.dll", std::string(100, 'a'));
    writeFile(pluginsDir() + "Arc\\bin\\sub\\data.bin", std::string(23, 'b'));
    writeFile(pluginsDir() + "Arc\\readme.txt", std::string(1000, 'c'));   // outside the size folder
    writeFile(pluginsDir() + "Two\\one.dll", std::string(10, 'x'));
    writeFile(pluginsDir() + "Two\\two.dll", std::string(5, 'x'));
    // A link up to the plugins folder is not counted into the folder it lies in.
    writeFile(pluginsDir() + "Loop\\loop.dll", std::string(7, 'l'));
    bool linked = makeFolderLink(pluginsDir() + "Loop\\up", pluginsDir());
    start();
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    int twos = 0;
    for (const auto& e : panel->items()) {
        // The folder total is the packed size; the file size stays 0, as for
        // any folder in FAR's footer.
        EXPECT_EQ(0u, e.raw.FindData.nFileSizeLow) << e.name;
        if (linked && e.name == pluginsDir() + "Loop") EXPECT_EQ(7u, e.raw.PackSize);
        if (e.name == pluginsDir() + "Arc") {
            EXPECT_EQ(123u, e.raw.PackSize);
        } else if (e.name == pluginsDir() + "Two") {
            EXPECT_EQ(15u, e.raw.PackSize);
            ++twos;
        }
    }
    EXPECT_EQ(2, twos);
    if (linked) {
        RemoveDirectoryA((pluginsDir() + "Loop\\up").c_str());
        DeleteFileA((pluginsDir() + "Loop\\up").c_str());
    }
}

TEST_F(HostTest, AnEmptyTreeWarnsAndGivesNoItems) {
    // Installed outside the plugins root, Vantorel's own DLL is not in the scanned tree.
    FarSetup elsewhere;
    elsewhere.vantorelFolder = "Addons\\Vantorel\\";
    start(elsewhere);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    EXPECT_TRUE(panel->items().empty());
    ASSERT_EQ(1u, host->messages.size());
    EXPECT_EQ("No plugin DLLs found in the plugins folders", host->messages[0].lines.at(1));
    EXPECT_EQ(0, host->unrestoredScreens());
    EXPECT_FALSE(fileExists(vantorelDir(elsewhere) + "JCache.dat"));
}

TEST_F(HostTest, ScanShowsProgressUnlessSilentOrFinding) {
    addFakeDll("A\\a.dll");
    addFakeDll("B\\b.dll");
    start();
    farhost::Panel* panel = vantorel->open(0, 0, false);
    ASSERT_TRUE(panel->read(OPM_SILENT));
    ASSERT_TRUE(panel->read(OPM_FIND));
    EXPECT_EQ(0, progressWindows(*host));
    EXPECT_EQ(0, host->savedScreens());
    DeleteFileA(cacheFile().c_str());
    ASSERT_TRUE(panel->read(0));
    // The first plugin examined afresh, then at most one for each: Vantorel and two more.
    EXPECT_GE(progressWindows(*host), 1);
    EXPECT_LE(progressWindows(*host), 3);
    EXPECT_EQ(0, host->unrestoredScreens());
}

TEST_F(HostTest, LoadedPluginsAreMarkedOnlyWhenAsked) {
    addFixture("recorder", "Rec\\");
    start();
    ASSERT_NE(nullptr, host->load(pluginsDir() + "Rec\\recorder.dll")) << host->lastError();
    for (int mark : {0, 1}) {
        storeSettings(std::string("\1\0\0\1\0", 5) + static_cast<char>(mark));
        farhost::Panel* panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        for (const auto& e : panel->items()) {
            bool loadedOne = e.name == pluginsDir() + "Rec" || e.name == pluginsDir() + "Vantorel";
            DWORD expected = FILE_ATTRIBUTE_DIRECTORY | ((mark && loadedOne) ? FILE_ATTRIBUTE_SYSTEM : 0);
            EXPECT_EQ(expected, e.raw.FindData.dwFileAttributes) << e.name << " mark " << mark;
        }
        panel->close();
    }
}

TEST_F(HostTest, ADllRemovedAfterDiscoveryIsShownHiddenWithNothingKnown) {
    writeFile(pluginsDir() + "A\\a.dll", std::string(50, 'a'));
    writeFile(pluginsDir() + "A\\file_id.diz", "Alpha tool v 1.0");
    writeFile(pluginsDir() + "B\\b.dll", std::string(70, 'b'));
    writeFile(pluginsDir() + "B\\file_id.diz", "Beta tool v 2.0");
    FarSetup setup;
    setup.vantorelFolder = "Plugins\\A\\Vantorel\\";   // examined with A, leaving B for last or first
    start(setup);
    // When the first plugin is examined, the other one's DLL disappears.
    std::string removed;
    host->onMessage = [&](const farhost::MessageCall& m) {
        if (!removed.empty() || m.buttonsNumber != 0 || m.lines.size() < 2) return;
        removed = m.lines[1].find("a.dll") != std::string::npos || m.lines[1].find("Vantorel") != std::string::npos
                      ? pluginsDir() + "B\\b.dll"
                      : pluginsDir() + "A\\a.dll";
        DeleteFileA(removed.c_str());
    };
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    ASSERT_FALSE(removed.empty());
    std::string gone = removed.substr(0, removed.rfind('\\'));
    bool seen = false;
    for (const auto& e : panel->items()) {
        if (e.name != gone) continue;
        seen = true;
        EXPECT_EQ(0x12u, e.raw.FindData.dwFileAttributes);
        EXPECT_EQ(0u, e.raw.FindData.nFileSizeLow);
        EXPECT_EQ(0u, e.raw.PackSize);
        EXPECT_EQ(0u, e.raw.FindData.ftLastWriteTime.dwLowDateTime);
        EXPECT_EQ("", e.description);
        EXPECT_FALSE(e.hasOwner);
    }
    EXPECT_TRUE(seen) << gone;
}
