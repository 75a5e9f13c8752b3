// Times list-mode builds against floors measured over the same tree in the
// same run (scanFloors.h): cached builds against the bare listing, fresh
// builds without probing against the read floor, probing builds against the
// load floor; for trees of growing size, with every plugin in a folder of its
// own and with all of them in one folder. Prints a table, one row per build or
// floor: plugins, shape, label, milliseconds, ratio to its floor, microseconds
// a plugin, the floor the ratio is to. Asserts nothing.
#include "farHost.h"
#include "scanFloors.h"
#include "testSupport.h"

#include <shlwapi.h>
#include <stdio.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace farhost::api;

namespace {

double now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / freq.QuadPart;
}

long bareListing(const std::string& folder) {
    long n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        ++n;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += bareListing(folder + fd.cFileName + "\\");
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

// Best of a few runs, to keep other load on the machine out of the figures.
template <class F>
double best(int runs, F f) {
    double b = 1e9;
    for (int i = 0; i < runs; ++i) {
        double t0 = now();
        f();
        double t = now() - t0;
        if (t < b) b = t;
    }
    return b;
}

void storeSettings(const std::string& rootKey, bool skipProbing) {
    std::string key = rootKey + "\\J\\Vantorel";
    HKEY h;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    const char record[6] = {1, 0, 0, 1, static_cast<char>(skipProbing), 0};
    RegSetValueExA(h, "JConfig", 0, REG_BINARY, reinterpret_cast<const BYTE*>(record), 6);
    RegCloseKey(h);
}

// A FAR that started once cold over the tree (every plugin loaded, its cache
// written) and then warm, knowing every plugin from its cache: fresh builds
// there take each plugin's menu strings from FAR's cache. The read floor is
// measured again right after them, since the cold start's loads slow later
// reads of the same DLLs under Wine.
void farCacheBuilds(const std::string& farFolder, double* build, double* reads) {
    std::string plugins = farFolder + "Plugins\\";
    std::string base = "Software\\VantorelBench\\farCache-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount());
    farhost::HostOptions options;
    options.hostDir = farFolder;
    options.rootKey = base + "\\Far\\Plugins";
    options.removeRegistryOnExit = false;
    options.loadAll = true;
    { farhost::Host cold(options); }
    {
        farhost::Host warm(options);
        farhost::Plugin* vantorel = warm.load(plugins + "Vantorel\\Vantorel.dll");
        if (vantorel) {
            storeSettings(warm.rootKey(), false);
            farhost::Panel* panel = vantorel->open(0, 0, false);
            std::string cache = plugins + "Vantorel\\JCache.dat";
            *build = best(3, [&] { DeleteFileA(cache.c_str()); panel->read(OPM_SILENT); });
            panel->close();
        }
    }
    *reads = best(3, [&] { readFloor(plugins); });
    SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {50, 200, 1000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) sizes.push_back(atoi(argv[i]));
    }
    const std::string sample = fixtureDir("binplug");
    const std::string sampleDll = sample + "bin\\binplug.dll";
    printf("%-7s %-11s %-18s %10s %10s %12s  %s\n", "plugins", "shape", "build", "ms", "x floor", "us/plugin", "floor");
    for (int n : sizes)
    for (bool oneFolder : {false, true}) {
        TempDir dir("bench");
        std::string farFolder = dir / "Far\\", plugins = farFolder + "Plugins\\";
        copyFolderFiles(distDir(), plugins + "Vantorel\\");
        for (int i = 0; i < n; ++i) {
            char name[64];
            if (oneFolder) {
                snprintf(name, sizeof name, "Bundle\\plugin%04d.dll", i);
                copyFile(sampleDll, plugins + name);
            } else {
                snprintf(name, sizeof name, "Group%02d\\Plugin%04d\\", i % 20, i);
                copyTree(sample, plugins + name);
            }
        }
        int count = n + 1;
        double listing, reads, cached, rawCached, freshNoProbe, freshProbe;
        {   // The first host goes before another loads Vantorel's DLL.
            farhost::HostOptions options;
            options.hostDir = farFolder;
            farhost::Host host(options);
            farhost::Plugin* vantorel = host.load(plugins + "Vantorel\\Vantorel.dll");
            if (!vantorel) {
                fprintf(stderr, "cannot load Vantorel: %s\n", host.lastError().c_str());
                return 2;
        }
        farhost::Panel* panel = vantorel->open(0, 0, false);
        std::string cache = plugins + "Vantorel\\JCache.dat";

        listing = best(5, [&] { bareListing(plugins); });
        reads = best(3, [&] { readFloor(plugins); });
        storeSettings(host.rootKey(), false);
        panel->close();
        panel = vantorel->open(0, 0, false);
        panel->read(OPM_SILENT);    // fills the cache
        cached = best(5, [&] { panel->read(OPM_SILENT); });
        auto getFindData = reinterpret_cast<PFN_GetFindData>(vantorel->proc("GetFindData"));
        auto freeFindData = reinterpret_cast<PFN_FreeFindData>(vantorel->proc("FreeFindData"));
        rawCached = best(5, [&] {
            PluginPanelItem* items = nullptr;
            int n = 0;
            if (getFindData(panel->handle(), &items, &n, OPM_SILENT)) freeFindData(panel->handle(), items, n);
        });
        storeSettings(host.rootKey(), true);
        panel->close();
        panel = vantorel->open(0, 0, false);
        freshNoProbe = best(3, [&] { DeleteFileA(cache.c_str()); panel->read(OPM_SILENT); });
        storeSettings(host.rootKey(), false);
        panel->close();
        panel = vantorel->open(0, 0, false);
        // Many DLLs of one folder are the size walk's worst case, not the probe's.
        freshProbe = oneFolder ? 0 : best(3, [&] { DeleteFileA(cache.c_str()); panel->read(OPM_SILENT); });
        panel->close();
        }
        double farCache = 0, readsAgain = 0;
        farCacheBuilds(farFolder, &farCache, &readsAgain);
        // Last: once Wine has loaded and released a tree's DLLs, reading them
        // without loading costs more (measured at 201 plugins: a build without
        // probing took 540 ms after the load floor, 214-320 ms before it).
        // One folder is the probing scan's case no more than the load floor's.
        double loads = oneFolder ? 0 : best(3, [&] { loadFloor(plugins); });

        // The floors are given against the listing they start with.
        struct Row { const char* name; double t; double floor; const char* floorName; } rows[] = {
            {"bare listing", listing, listing, "bare listing"},
            {"read floor", reads, listing, "bare listing"},
            {"load floor", loads, listing, "bare listing"},
            {"cached", cached, listing, "bare listing"},
            {"cached, no host", rawCached, listing, "bare listing"},
            {"fresh, no probe", freshNoProbe, reads, "read floor"},
            {"fresh, probing", freshProbe, loads, "load floor"},
            {"read floor again", readsAgain, listing, "bare listing"},
            {"fresh, FAR's cache", farCache, readsAgain, "read floor again"}};
        for (const Row& r : rows)
            if (r.t > 0 && r.floor > 0)
                printf("%-7d %-11s %-18s %10.1f %10.2f %12.1f  %s\n", count, oneFolder ? "one folder" : "folders",
                       r.name, r.t * 1000, r.t / r.floor, r.t * 1e6 / count, r.floorName);
        fflush(stdout);
    }
    return 0;
}
