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

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {50, 200, 1000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) sizes.push_back(atoi(argv[i]));
    }
    const std::string sample = fixtureDir("binplug");
    const std::string sampleDll = sample + "bin\\binplug.dll";
    printf("%-7s %-11s %-16s %10s %10s %12s  %s\n", "plugins", "shape", "build", "ms", "x floor", "us/plugin", "floor");
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
        int count = n + 1;

        double listing = best(5, [&] { bareListing(plugins); });
        double reads = best(3, [&] { readFloor(plugins); });
        storeSettings(host.rootKey(), false);
        panel->close();
        panel = vantorel->open(0, 0, false);
        panel->read(OPM_SILENT);    // fills the cache
        double cached = best(5, [&] { panel->read(OPM_SILENT); });
        auto getFindData = reinterpret_cast<PFN_GetFindData>(vantorel->proc("GetFindData"));
        auto freeFindData = reinterpret_cast<PFN_FreeFindData>(vantorel->proc("FreeFindData"));
        double rawCached = best(5, [&] {
            PluginPanelItem* items = nullptr;
            int n = 0;
            if (getFindData(panel->handle(), &items, &n, OPM_SILENT)) freeFindData(panel->handle(), items, n);
        });
        storeSettings(host.rootKey(), true);
        panel->close();
        panel = vantorel->open(0, 0, false);
        double freshNoProbe = best(3, [&] { DeleteFileA(cache.c_str()); panel->read(OPM_SILENT); });
        storeSettings(host.rootKey(), false);
        panel->close();
        panel = vantorel->open(0, 0, false);
        // Many DLLs of one folder are the size walk's worst case, not the probe's.
        double freshProbe = oneFolder ? 0 : best(3, [&] { DeleteFileA(cache.c_str()); panel->read(OPM_SILENT); });
        panel->close();
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
            {"fresh, probing", freshProbe, loads, "load floor"}};
        for (const Row& r : rows)
            if (r.t > 0 && r.floor > 0)
                printf("%-7d %-11s %-16s %10.1f %10.2f %12.1f  %s\n", count, oneFolder ? "one folder" : "folders",
                       r.name, r.t * 1000, r.t / r.floor, r.t * 1e6 / count, r.floorName);
        fflush(stdout);
    }
    return 0;
}
