// The plugin in the host: derived paths, the personal plugins folder, the
// menu entries it asks for, panel handles, and hostile start-up data.
#include "harness.h"

using namespace testing_support;

TEST_F(HostTest, PluginsRootKeepsTheLetterCaseOfTheLibrarysPath) {
    FarSetup setup;
    setup.vantorelFolder = "PlUgInS\\Vantorel\\";
    writeFile(farDir() + "PlUgInS\\Hex\\hex.dll", "x");
    start(setup);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ((std::vector<std::string>{farDir() + "PlUgInS\\Hex"}), names(panel));
    EXPECT_TRUE(fileExists(vantorelDir(setup) + "JCache.dat"));
}

TEST_F(HostTest, PluginsRootIsCutAfterTheFirstPluginsFolder) {
    FarSetup setup;
    setup.vantorelFolder = "Plugins\\Tools\\Plugins\\Vantorel\\";
    addFakeDll("Other\\other.dll");
    start(setup);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ((std::vector<std::string>{pluginsDir() + "Other"}), names(panel));
    EXPECT_TRUE(fileExists(vantorelDir(setup) + "JCache.dat"));
}

TEST_F(HostTest, WithoutAPluginsFolderInItsPathTheDefaultRootIsScanned) {
    FarSetup setup;
    setup.vantorelFolder = "Addons\\Vantorel\\";
    setup.personal = true;
    setup.personalValue = dir / "Mine";
    writeFile(dir / "Mine\\p.dll", "x");
    start(setup);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    // The default root does not exist here, so only the personal folder shows.
    EXPECT_EQ((std::vector<std::string>{dir / "Mine"}), names(panel));
    EXPECT_TRUE(fileExists(vantorelDir(setup) + "JCache.dat"));
}

TEST_F(HostTest, AModulePathWithoutBackslashPutsTheCacheInTheRootOfC) {
    start();
    writeFile(dir / "Mine\\p.dll", "x");
    // Hand the plugin a startup record whose module name has no folder.
    PluginStartupInfo info = vantorel->startupInfo();
    strcpy(info.ModuleName, "Vantorel.dll");
    std::string personal = dir / "Mine";
    HKEY h;
    std::string systemKey = host->rootKey().substr(0, host->rootKey().rfind('\\')) + "\\System";
    RegCreateKeyExA(HKEY_CURRENT_USER, systemKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    RegSetValueExA(h, "PersonalPluginsPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(personal.c_str()),
                   static_cast<DWORD>(personal.size() + 1));
    RegCloseKey(h);
    DeleteFileA("C:\\JCache.dat");
    reinterpret_cast<PFN_SetStartupInfo>(vantorel->proc("SetStartupInfo"))(&info);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(1u, panel->items().size());
    EXPECT_TRUE(fileExists("C:\\JCache.dat"));
    DeleteFileA("C:\\JCache.dat");
}

TEST_F(HostTest, PersonalFolderValueIsTrimmedExpandedAndEndsInOneBackslash) {
    SetEnvironmentVariableA("VANTOREL_TEST_HOME", dir.path().substr(0, dir.path().size() - 1).c_str());
    FarSetup setup;
    setup.personal = true;
    setup.personalValue = "  %VANTOREL_TEST_HOME%\\MyPlugins  ";
    writeFile(dir / "MyPlugins\\my.dll", "x");
    addFakeDll("A\\a.dll");
    start(setup);
    farhost::Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    // The personal folder's plugins come first in the catalogue.
    EXPECT_EQ((std::vector<std::string>{dir / "MyPlugins", pluginsDir() + "A"}), catalogueOrder(panel));
}

TEST_F(HostTest, APersonalFolderValueUpTo259CharactersIsRead) {
    // Blanks pad the value to its length; trimming leaves the real folder.
    writeFile(dir / "Mine\\my.dll", "x");
    std::string folder = dir / "Mine";
    const struct { size_t length; bool read; } cases[] = {{258, true}, {259, true}, {260, false}};
    for (const auto& c : cases) {
        FarSetup setup;
        setup.personal = true;
        setup.personalValue = folder + std::string(c.length - folder.size(), ' ');
        start(setup);
        farhost::Panel* panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        std::vector<std::string> shown = names(panel);
        EXPECT_EQ(c.read, std::find(shown.begin(), shown.end(), folder) != shown.end()) << c.length;
        host.reset();
    }
}

TEST_F(HostTest, ABlankOrMissingPersonalFolderValueMeansNone) {
    for (int variant = 0; variant < 2; ++variant) {
        FarSetup setup;
        setup.personal = variant == 0;
        setup.personalValue = "   ";
        addFakeDll("A\\a.dll");
        start(setup);
        farhost::Panel* panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        EXPECT_EQ((std::vector<std::string>{pluginsDir() + "A"}), names(panel)) << variant;
        host.reset();
    }
}

TEST_F(HostTest, MenuEntriesFollowTheStoredSettings) {
    struct Case { std::string stored; int diskCount; int hotkey; int pluginsCount; } cases[] = {
        {"", 1, 0, 0},                                    // defaults
        {std::string("\1\0\7\1\0\0", 6), 1, 7, 0},
        {std::string("\1\1\x0A\1\0\0", 6), 1, -1, 1},      // 10: no hotkey
        {std::string("\1\0\xFF\1\0\0", 6), 1, -1, 0},      // -1: no hotkey
        {std::string("\0\1\3\1\0\0", 6), 0, 3, 1},        // disk menu off: list still handed over
    };
    for (const Case& c : cases) {
        start();
        if (!c.stored.empty()) {
            storeSettings(c.stored);
            vantorel->open(0, 0, false)->close();       // settings are read again at every open
        }
        PluginInfo info = vantorel->getPluginInfo();
        EXPECT_EQ(44, info.StructSize);
        ASSERT_NE(nullptr, info.DiskMenuStrings);
        EXPECT_STREQ("Vantorel", info.DiskMenuStrings[0]);
        EXPECT_EQ(c.diskCount, info.DiskMenuStringsNumber);
        EXPECT_EQ(c.hotkey, info.DiskMenuNumbers ? info.DiskMenuNumbers[0] : -1);
        EXPECT_EQ(c.pluginsCount, info.PluginMenuStringsNumber);
        EXPECT_EQ(c.pluginsCount != 0, info.PluginMenuStrings != nullptr);
        ASSERT_EQ(1, info.PluginConfigStringsNumber);
        EXPECT_STREQ("Vantorel", info.PluginConfigStrings[0]);
        EXPECT_EQ(nullptr, info.CommandPrefix);
        EXPECT_EQ(0x146, vantorel->getMinFarVersion());
        host.reset();
    }
}

TEST_F(HostTest, EachOpenReturnsTheNextHandle) {
    addFakeDll("A\\a.dll");
    start();
    farhost::Panel* first = vantorel->open();
    farhost::Panel* second = vantorel->open();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), first->handle());
    EXPECT_EQ(reinterpret_cast<HANDLE>(2), second->handle());
}

// The host answers "" for a message of a plugin without language files.
TEST_F(HostTest, AMissingMessageTextIsShownEmpty) {
    FarSetup setup;
    setup.vantorelFolder = "Addons\\Vantorel\\";
    start(setup);
    // Without its language files the host has no texts for the plugin.
    DeleteFileA((vantorelDir(setup) + "VantorelEng.lng").c_str());
    DeleteFileA((vantorelDir(setup) + "VantorelRus.lng").c_str());
    host.reset();
    farhost::HostOptions options;
    options.hostDir = farDir();
    host.reset(new farhost::Host(options));
    vantorel = host->load(vantorelDir(setup) + "Vantorel.dll");
    ASSERT_NE(nullptr, vantorel);
    vantorel->open();   // an empty tree: the "no plugins" warning
    ASSERT_EQ(1u, host->messages.size());
    const farhost::MessageCall& box = host->messages[0];
    EXPECT_EQ(std::vector<std::string>({"Vantorel", ""}), box.lines);
    EXPECT_EQ(std::vector<std::string>({"OK"}), box.buttons);   // the host's own OK
    EXPECT_EQ(static_cast<DWORD>(FMSG_WARNING | FMSG_MB_OK), box.flags);
    EXPECT_EQ(0, box.pluginNumber);
    EXPECT_EQ(0, box.buttonsNumber);
    EXPECT_EQ("", box.helpTopic);
}

TEST_F(HostTest, OverlongRootKeyAndModuleNameAreHandledWithinTheirBuffers) {
    addFakeDll("A\\a.dll");
    start();
    PluginStartupInfo info = vantorel->startupInfo();
    std::string longKey = "Software\\" + std::string(400, 'k') + "\\Plugins";
    info.RootKey = longKey.c_str();
    memset(info.ModuleName, 'm', sizeof info.ModuleName);   // no terminator at all
    reinterpret_cast<PFN_SetStartupInfo>(vantorel->proc("SetStartupInfo"))(&info);
    PluginInfo pi = vantorel->getPluginInfo();
    EXPECT_EQ(1, pi.DiskMenuStringsNumber);      // defaults kept
    EXPECT_EQ(0, vantorel->configure(0));         // dialog cancelled by default; no crash
    EXPECT_TRUE(host->problems.empty());
}
