#include "foreign/loadedModules.h"

#include <gtest/gtest.h>

TEST(LoadedModules, FindsLoadedModulesByFileNameWithoutCaseLikeTheLoader) {
    LoadedModules loaded;
    for (const char* name : {"kernel32.dll", "KERNEL32.DLL", "Version.dll"}) {
        ASSERT_NE(nullptr, GetModuleHandleA(name)) << name;
        EXPECT_EQ(GetModuleHandleA(name), loaded.find(name)) << name;
    }
    EXPECT_EQ(nullptr, loaded.find("not-loaded-here.dll"));
}
