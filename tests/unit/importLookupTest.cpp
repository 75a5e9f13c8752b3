// Where a DLL a plugin imports would come from, looked up as the loader
// would and without loading it: a module already loaded, then the plugin's
// own folder, then the system's folders.
#include "dll/pluginFitness.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testing_support;

TEST(ImportedDllLookup, FollowsTheLoadersOrderWithoutLoading) {
    TempDir dir("imports");
    const std::string plugin = dir / "Plugin\\plugin.dll";
    ASSERT_TRUE(writeFile(plugin, "plugin"));
    ASSERT_TRUE(writeFile(dir / "Plugin\\helper.dll", "helper"));
    // A file named like a system DLL beside the plugin: the loaded module wins.
    ASSERT_TRUE(writeFile(dir / "Plugin\\kernel32.dll", "not the system's"));
    char system[MAX_PATH];
    ASSERT_NE(0u, GetSystemDirectoryA(system, sizeof system));
    char kernel[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(GetModuleHandleA("kernel32.dll"), kernel, sizeof kernel));

    struct Case {
        const char* dll;
        bool found;
        std::string where;   // compared without regard to case
    };
    const Case cases[] = {
        {"helper.dll", true, dir / "Plugin\\helper.dll"},
        {"KERNEL32.dll", true, kernel},
        {"mpr.dll", true, std::string(system) + "\\mpr.dll"},
        {"vtabsent.dll", false, ""},
        {"..\\Plugin\\helper.dll", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        bool mprWasLoaded = GetModuleHandleA("mpr.dll") != nullptr;
        char found[MAX_PATH] = "";
        EXPECT_EQ(c.found, findImportedDll(plugin.c_str(), c.dll, found, sizeof found)) << c.dll;
        if (c.found) {
            EXPECT_EQ(0, lstrcmpiA(c.where.c_str(), found)) << c.dll << ": " << found;
        }
        EXPECT_EQ(mprWasLoaded, GetModuleHandleA("mpr.dll") != nullptr) << c.dll;
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("helper.dll"));
}
