#include "catalogue/catalogueBuild.h"
#include "describe/descriptionLanguage.h"
#include "foreign/probe.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "settings/settings.h"
#include "testSupport.h"
#include "ui/messages.h"

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

// A catalogue build over a tree of two fixture plugins of its own, with the
// plugin's library-wide paths pointed at it for the length of the build.
struct TwoPluginScan {
    TempDir dir{"scan"};
    std::string root = dir / "Plugins\\";
    PluginPanelItem* items = nullptr;
    int count = 0;
    int result = 0;

    TwoPluginScan(const char* first, const char* second) {
        copyTree(fixtureDir(first), root + "A\\");
        copyTree(fixtureDir(second), root + "B\\");
    }
    ~TwoPluginScan() { heapFree(items); }
    void build() {
        const char* savedRoot = pluginsRoot;
        const char* savedPersonal = personalPluginsFolder;
        char savedCache[MAX_PATH];
        strcpy(savedCache, cacheFilePath);
        pluginsRoot = root.c_str();
        personalPluginsFolder = nullptr;
        strcpy(cacheFilePath, (dir / "JCache.dat").c_str());
        PanelState* panel = createPanelState(reinterpret_cast<HANDLE>(0x5151));
        // As the panel builds it, less the progress window and the notice.
        BuildSettings settings = {!JConfig.skipProbing, JConfig.markLoaded != 0, languageTag(msgText(MLanguageName))};
        BuildSink quiet = {[](const char*, int, int) {}, [](const char*, int) {}, [] {}, [] {}};
        result = buildCatalogue(panel, &items, &count, OPM_SILENT, settings, quiet);
        panel->panelItems = nullptr;   // ours to free
        destroyPanelState(panel->handle);
        pluginsRoot = savedRoot;
        personalPluginsFolder = savedPersonal;
        strcpy(cacheFilePath, savedCache);
    }
};

}  // namespace

TEST(ProbeRelease, AFaultWhileReleasingAProbedPluginEndsOnlyThatRelease) {
    TwoPluginScan scan("recorder", "ver1001");
    ReleaseLibraryFunction savedRelease = releaseLibrary;
    releaseLibrary = faultingRelease;
    releases = 0;
    scan.build();
    releaseLibrary = savedRelease;

    ASSERT_EQ(1, scan.result);
    ASSERT_EQ(2, scan.count);
    EXPECT_EQ(2, releases);   // the scan went on to the second plugin
    for (int i = 0; i < scan.count; ++i)
        EXPECT_NE('\0', scan.items[i].Description[0]) << scan.items[i].FindData.cFileName;
    EXPECT_EQ(nullptr, GetModuleHandleA((scan.root + "A\\recorder.dll").c_str()));
    EXPECT_EQ(nullptr, GetModuleHandleA((scan.root + "B\\ver1001.dll").c_str()));
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
    TwoPluginScan scan("recorder", "dizver");
    LoadLibraryFunction savedLoad = loadLibrary;
    loadLibrary = faultingLoad;
    loads = 0;
    EXPECT_EQ(nullptr, loadForeignLibrary((scan.root + "A\\recorder.dll").c_str()));
    scan.build();
    loadLibrary = savedLoad;

    ASSERT_EQ(1, scan.result);
    ASSERT_EQ(2, scan.count);
    EXPECT_EQ(3, loads);   // the scan went on to the second plugin
    // Described from their files instead.
    for (int i = 0; i < scan.count; ++i)
        EXPECT_NE('\0', scan.items[i].Description[0]) << scan.items[i].FindData.cFileName;
}
