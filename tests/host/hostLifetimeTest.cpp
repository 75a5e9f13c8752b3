// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// A host's registry root, its lifetime, and the folders tests build with it.
#include "farHost.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace farhost;
using testing_support::TempDir;
using testing_support::writeFile;

// ---- Registry --------------------------------------------------------------------

namespace {

bool keyExists(const std::string& path) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

}  // namespace

TEST(HostRegistry, EachHostHasItsOwnRootRemovedAtTheEnd) {
    std::string first, second, system;
    {
        HostOptions options;
        options.writePersonalPath = true;
        options.personalPluginsPath = "  %USERPROFILE%\\My  ";
        Host a(options);
        Host b{HostOptions()};
        first = a.rootKey();
        second = b.rootKey();
        EXPECT_NE(first, second);
        ASSERT_GT(first.size(), 13u);
        EXPECT_EQ("\\Far\\Plugins", first.substr(first.size() - 12));
        system = first.substr(0, first.size() - 8) + "\\System";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, system.c_str(), 0, KEY_READ, &h));
        char value[64] = {};
        DWORD size = sizeof value, type = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(h, "PersonalPluginsPath", nullptr, &type,
                                                  reinterpret_cast<BYTE*>(value), &size));
        RegCloseKey(h);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_STREQ("  %USERPROFILE%\\My  ", value);
        // A plugin's own subkeys must not stop the clean-up.
        HKEY sub;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, (first + "\\J\\Vantorel").c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &sub, nullptr));
        RegCloseKey(sub);
    }
    EXPECT_FALSE(keyExists(first));
    EXPECT_FALSE(keyExists(system));
    EXPECT_FALSE(keyExists(second));
}

TEST(HostRegistry, AGivenRootKeyIsLeftInPlace) {
    testing_support::TempKey key;
    {
        HostOptions options;
        options.rootKey = key.path() + "\\Far\\Plugins";
        Host host(options);
        EXPECT_EQ(options.rootKey, host.rootKey());
    }
    EXPECT_TRUE(keyExists(key.path() + "\\Far\\Plugins"));
}

TEST(HostLifetime, PluginsTalkToTheNewestLiveHost) {
    Host older{HostOptions()};
    {
        Host newer{HostOptions()};
        EXPECT_EQ(&newer, Host::current());
    }
    EXPECT_EQ(&older, Host::current());
}

TEST(HostFolders, BuildCopyAndTakeDownATree) {
    std::string a = uniqueTempDir("fhfs");
    std::string b = uniqueTempDir("fhfs");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ('\\', a.back());
    EXPECT_TRUE(testing_support::fileExists(a));

    ASSERT_TRUE(makeDirs(a + "one\\two\\three\\"));
    ASSERT_TRUE(writeFile(a + "one\\x.dll", "x"));
    ASSERT_TRUE(writeFile(a + "one\\x.lng", "l"));
    ASSERT_TRUE(writeFile(a + "one\\two\\three\\deep.txt", "d"));
    ASSERT_TRUE(copyFiles(a + "one", b + "named", {"x.lng"}));
    EXPECT_TRUE(testing_support::fileExists(b + "named\\x.lng"));
    EXPECT_FALSE(testing_support::fileExists(b + "named\\x.dll"));
    ASSERT_TRUE(copyFiles(a + "one\\", b + "all\\"));
    EXPECT_TRUE(testing_support::fileExists(b + "all\\x.dll"));
    EXPECT_FALSE(testing_support::fileExists(b + "all\\two"));   // files only

    SetFileAttributesA((a + "one\\x.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(removeTree(a));
    EXPECT_TRUE(removeTree(b));
    EXPECT_FALSE(testing_support::fileExists(a));
    EXPECT_FALSE(testing_support::fileExists(b));
    EXPECT_TRUE(removeTree(a));   // already gone
}
