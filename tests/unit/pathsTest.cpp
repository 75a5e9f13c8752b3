#include "state/pluginFolder.h"
#include "state/pluginState.h"

#include <gtest/gtest.h>
#include <string>

TEST(DerivedPaths, CacheFileAndPluginsRootFollowTheLibrarysOwnPath) {
    struct Case { const char* module; const char* cache; const char* root; } cases[] = {
        {"D:\\Tools\\Far\\Plugins\\Mgr\\x.dll", "D:\\Tools\\Far\\Plugins\\Mgr\\JCache.dat", "D:\\Tools\\Far\\Plugins\\"},
        {"C:\\A\\PLUGINS\\B\\PLUGINS\\x.dll", "C:\\A\\PLUGINS\\B\\PLUGINS\\JCache.dat", "C:\\A\\PLUGINS\\"},
        {"C:\\Far\\Addons\\x.dll", "C:\\Far\\Addons\\JCache.dat", "C:\\PROGRAM FILES\\FAR\\PLUGINS\\"},
        {"x.dll", "C:\\JCache.dat", "C:\\PROGRAM FILES\\FAR\\PLUGINS\\"},
    };
    for (const Case& c : cases) {
        char cache[MAX_PATH], rootBuffer[MAX_PATH];
        deriveCacheFilePath(c.module, cache);
        EXPECT_STREQ(c.cache, cache) << c.module;
        EXPECT_STREQ(c.root, derivePluginsRoot(c.module, rootBuffer)) << c.module;
    }
}

TEST(DerivedPaths, ACacheFileNameThatWouldNotFitGivesNoCacheFile) {
    std::string deep = "C:\\" + std::string(240, 'd') + "\\Plugins\\x.dll";   // 256 characters
    ASSERT_LT(deep.size(), 260u);
    char cache[MAX_PATH];
    memset(cache, 'x', sizeof cache);
    deriveCacheFilePath(deep.c_str(), cache);
    EXPECT_STREQ("", cache);
}

TEST(PluginFolder, NamesTheDllsFolderOrTheParentOfBin) {
    struct Case { const char* dll; const char* shown; const char* withSlash; const char* sized; } cases[] = {
        {"C:\\Far\\Plugins\\Net\\bin\\net.dll", "C:\\Far\\Plugins\\Net", "C:\\Far\\Plugins\\Net\\", "C:\\Far\\Plugins\\Net\\bin"},
        {"C:\\Far\\Plugins\\Net\\net.dll", "C:\\Far\\Plugins\\Net", "C:\\Far\\Plugins\\Net\\", "C:\\Far\\Plugins\\Net"},
        {"C:\\Far\\Plugins\\Net\\BIN\\net.dll", "C:\\Far\\Plugins\\Net", "C:\\Far\\Plugins\\Net\\", "C:\\Far\\Plugins\\Net\\BIN"},
        {"C:\\Fr\\bin\\x.dll", "C:\\Fr\\bin", "C:\\Fr\\bin\\", "C:\\Fr\\bin"},      // exactly 10 characters: kept
        {"C:\\Fre\\bin\\x.dll", "C:\\Fre", "C:\\Fre\\", "C:\\Fre\\bin"},            // 11 characters: cut
        {"C:\\bin\\x.dll", "C:\\bin", "C:\\bin\\", "C:\\bin"},
        {"C:\\Far\\Plugins\\x.dll", "C:\\Far\\Plugins", "C:\\Far\\Plugins\\", "C:\\Far\\Plugins"},
        {"C:\\Far\\Plugins\\cabin\\x.dll", "C:\\Far\\Plugins\\cabin", "C:\\Far\\Plugins\\cabin\\", "C:\\Far\\Plugins\\cabin"},
    };
    for (const Case& c : cases) {
        char out[MAX_PATH];
        pluginFolderOf(c.dll, out, false);
        EXPECT_STREQ(c.shown, out) << c.dll;
        pluginFolderOf(c.dll, out, true);
        EXPECT_STREQ(c.withSlash, out) << c.dll;
        sizeFolderOf(c.dll, out);
        EXPECT_STREQ(c.sized, out) << c.dll;
    }
}
