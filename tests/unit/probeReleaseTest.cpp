#include "catalogue/catalogueBuild.h"
#include "catalogue/probe.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "settings/settings.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testing_support;

namespace {

int releases = 0;

// Frees the library, then faults, as a plugin whose unloading crashes would.
BOOL WINAPI faultingRelease(HMODULE module) {
    ++releases;
    FreeLibrary(module);
    volatile int* volatile p = nullptr;
    *p = 1;
    return TRUE;
}

}  // namespace

TEST(ProbeRelease, AFaultWhileReleasingAProbedPluginEndsOnlyThatRelease) {
    TempDir dir("release");
    std::string root = dir / "Plugins\\";
    ASSERT_TRUE(copyTree(fixtureDir("recorder"), root + "A\\"));
    ASSERT_TRUE(copyTree(fixtureDir("ver1001"), root + "B\\"));
    const char* savedRoot = pluginsRoot;
    const char* savedPersonal = personalPluginsFolder;
    char savedCache[MAX_PATH];
    strcpy(savedCache, cacheFilePath);
    pluginsRoot = root.c_str();
    personalPluginsFolder = nullptr;
    strcpy(cacheFilePath, (dir / "JCache.dat").c_str());
    ReleaseLibraryFunction savedRelease = releaseLibrary;
    releaseLibrary = faultingRelease;
    releases = 0;

    PanelState* panel = createPanelState(reinterpret_cast<HANDLE>(0x5151));
    PluginPanelItem* items = nullptr;
    int count = 0;
    int result = buildCatalogue(panel, &items, &count, OPM_SILENT);

    releaseLibrary = savedRelease;
    pluginsRoot = savedRoot;
    personalPluginsFolder = savedPersonal;
    strcpy(cacheFilePath, savedCache);

    ASSERT_EQ(1, result);
    ASSERT_EQ(2, count);
    EXPECT_EQ(2, releases);   // the scan went on to the second plugin
    for (int i = 0; i < count; ++i) EXPECT_NE('\0', items[i].Description[0]) << items[i].FindData.cFileName;
    EXPECT_EQ(nullptr, GetModuleHandleA((root + "A\\recorder.dll").c_str()));
    EXPECT_EQ(nullptr, GetModuleHandleA((root + "B\\ver1001.dll").c_str()));
    heapFree(items);
    destroyPanelState(panel->handle);
}

TEST(ProbeRelease, ReleaseReportsTheFaultCode) {
    ReleaseLibraryFunction savedRelease = releaseLibrary;
    releaseLibrary = faultingRelease;
    HMODULE module = LoadLibraryA((fixtureDir("ver1001") + "ver1001.dll").c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(EXCEPTION_ACCESS_VIOLATION, releaseProbedLibrary(module));
    releaseLibrary = savedRelease;
    EXPECT_EQ(0u, releaseProbedLibrary(nullptr));
}

namespace {

int loads = 0;

// Faults inside the load, as a DLL whose start-up code crashes would on a
// loader that does not catch it.
HMODULE WINAPI faultingLoad(LPCSTR, HANDLE, DWORD) {
    ++loads;
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return nullptr;
}

}  // namespace

TEST(ProbeLoad, AFaultWhileLoadingAPluginEndsOnlyThatLoad) {
    TempDir dir("load");
    std::string root = dir / "Plugins\\";
    ASSERT_TRUE(copyTree(fixtureDir("recorder"), root + "A\\"));
    ASSERT_TRUE(copyTree(fixtureDir("dizver"), root + "B\\"));
    const char* savedRoot = pluginsRoot;
    const char* savedPersonal = personalPluginsFolder;
    char savedCache[MAX_PATH];
    strcpy(savedCache, cacheFilePath);
    pluginsRoot = root.c_str();
    personalPluginsFolder = nullptr;
    strcpy(cacheFilePath, (dir / "JCache.dat").c_str());
    LoadLibraryFunction savedLoad = loadLibrary;
    loadLibrary = faultingLoad;
    loads = 0;

    EXPECT_EQ(nullptr, loadForeignLibrary((root + "A\\recorder.dll").c_str()));
    PanelState* panel = createPanelState(reinterpret_cast<HANDLE>(0x5152));
    PluginPanelItem* items = nullptr;
    int count = 0;
    int result = buildCatalogue(panel, &items, &count, OPM_SILENT);

    loadLibrary = savedLoad;
    pluginsRoot = savedRoot;
    personalPluginsFolder = savedPersonal;
    strcpy(cacheFilePath, savedCache);

    ASSERT_EQ(1, result);
    ASSERT_EQ(2, count);
    EXPECT_EQ(3, loads);   // the scan went on to the second plugin
    // Described from their files instead.
    for (int i = 0; i < count; ++i) EXPECT_NE('\0', items[i].Description[0]) << items[i].FindData.cFileName;
    heapFree(items);
    destroyPanelState(panel->handle);
}
