// The emulator's own memory over a long run: thousands of panels opened,
// read, browsed and closed in one process must not pile up (closed panels
// and restored screens are released). Reports the growth per cycle.
#include "farHost.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

using namespace testing_support;

namespace {

// Bytes in use in every heap of the process.
size_t heapBytesInUse() {
    HANDLE heaps[64];
    DWORD n = GetProcessHeaps(64, heaps);
    size_t used = 0;
    for (DWORD i = 0; i < n && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

}  // namespace

TEST(HostSoak, ThousandsOfOpenReadBrowseCloseCyclesKeepTheEmulatorsMemoryFlat) {
    TempDir dir("soak");
    ASSERT_TRUE(copyTree(fixtureDir("panel"), dir / "Far\\Plugins\\Panel\\"));
    farhost::HostOptions options;
    options.hostDir = dir / "Far\\";
    farhost::Host host(options);
    farhost::Plugin* plugin = host.load(dir / "Far\\Plugins\\Panel\\panel.dll");
    ASSERT_NE(nullptr, plugin) << host.lastError();

    auto cycle = [&] {
        farhost::Panel* panel = plugin->open();
        ASSERT_NE(nullptr, panel);
        panel->key(VK_DOWN);
        ASSERT_TRUE(panel->setCurrentByName("Folder"));
        panel->enter();                          // into the folder and back
        panel->setDirectory("..");
        HANDLE screen = plugin->startupInfo().SaveScreen(0, 0, -1, -1);
        plugin->startupInfo().RestoreScreen(screen);
        panel->render(100);
        panel->close();
        // A CI driver prints the records of a stretch and starts afresh.
        host.clearRecords();
    };
    const int warmUp = 100, cycles = 1000;
    for (int i = 0; i < warmUp; ++i) cycle();
    size_t before = heapBytesInUse();
    for (int i = 0; i < cycles; ++i) cycle();
    size_t after = heapBytesInUse();
    EXPECT_TRUE(host.problems.empty());

    double perCycle = (static_cast<double>(after) - static_cast<double>(before)) / cycles;
    // Wine reports no private byte count (PrivateUsage is 0): the heaps' busy
    // blocks are the measure.
    printf("[ figures  ] heap in use %lu -> %lu bytes over %d cycles: %.1f bytes a cycle\n",
           static_cast<unsigned long>(before), static_cast<unsigned long>(after), cycles, perCycle);
    // Flat: well below the size of one panel's records (a few kilobytes).
    EXPECT_LT(perCycle, 64.0);
}

TEST(HostSoak, ThousandsOfVantorelScansInOneHostReportTheGrowth) {
    TempDir dir("soak");
    ASSERT_TRUE(copyFolderFiles(distDir(), dir / "Far\\Plugins\\Vantorel\\"));
    ASSERT_TRUE(copyTree(fixtureDir("panel"), dir / "Far\\Plugins\\Panel\\"));
    ASSERT_TRUE(copyTree(fixtureDir("nover"), dir / "Far\\Plugins\\Nover\\"));
    farhost::HostOptions options;
    options.hostDir = dir / "Far\\";
    farhost::Host host(options);
    farhost::Plugin* vantorel = host.load(dir / "Far\\Plugins\\Vantorel\\Vantorel.dll");
    ASSERT_NE(nullptr, vantorel) << host.lastError();

    auto cycle = [&] {
        farhost::Panel* panel = vantorel->open();   // opening scans the tree
        ASSERT_NE(nullptr, panel);
        panel->key(VK_DOWN);
        panel->render(100);
        panel->close();
        host.clearRecords();
    };
    const int warmUp = 50, cycles = 1000;
    for (int i = 0; i < warmUp; ++i) cycle();
    size_t before = heapBytesInUse();
    DWORD start = GetTickCount();
    for (int i = 0; i < cycles; ++i) cycle();
    DWORD took = GetTickCount() - start;
    size_t after = heapBytesInUse();
    double perCycle = (static_cast<double>(after) - static_cast<double>(before)) / cycles;
    printf("[ figures  ] Vantorel open/scan/close: heap in use %lu -> %lu bytes over %d cycles: %.1f bytes a "
           "cycle, %.2f ms a cycle\n",
           static_cast<unsigned long>(before), static_cast<unsigned long>(after), cycles, perCycle,
           static_cast<double>(took) / cycles);
    EXPECT_LT(perCycle, 256.0);
}
