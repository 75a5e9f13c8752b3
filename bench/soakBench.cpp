// The emulator's memory over a long run: thousands of panels opened, read,
// browsed and closed in one process (closed panels and restored screens are
// released), and thousands of Vantorel scans in one host. Prints the growth
// of the heaps per cycle and the time a scan takes; the exit code is 1 when
// the emulator's own panels are not flat (well below the size of one
// panel's records, a few kilobytes).
#include "farHost.h"
#include "testSupport.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

using namespace testing_support;

namespace {

// Bytes in use in every heap of the process. Wine reports no private byte
// count (PrivateUsage is 0): the heaps' busy blocks are the measure.
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

struct Growth {
    size_t before = 0, after = 0;
    double perCycle = 0, msPerCycle = 0;
};

// warmUp cycles, then the heaps measured over `cycles` more; false when a cycle failed.
template <class F>
bool measure(int warmUp, int cycles, F cycle, Growth& g) {
    for (int i = 0; i < warmUp; ++i)
        if (!cycle()) return false;
    g.before = heapBytesInUse();
    DWORD start = GetTickCount();
    for (int i = 0; i < cycles; ++i)
        if (!cycle()) return false;
    g.msPerCycle = static_cast<double>(GetTickCount() - start) / cycles;
    g.after = heapBytesInUse();
    g.perCycle = (static_cast<double>(g.after) - static_cast<double>(g.before)) / cycles;
    return true;
}

void report(const char* what, int cycles, const Growth& g) {
    printf("%-34s heap in use %lu -> %lu bytes over %d cycles: %.1f bytes a cycle, %.2f ms a cycle\n", what,
           static_cast<unsigned long>(g.before), static_cast<unsigned long>(g.after), cycles, g.perCycle,
           g.msPerCycle);
}

// Panels of the sample panel plugin: opened, browsed into a folder and
// back, a screen saved and restored, drawn, closed.
bool emulatorPanels(int cycles, Growth& g) {
    TempDir dir("soak");
    if (!copyTree(fixtureDir("panel"), dir / "Far\\Plugins\\Panel\\")) return false;
    farhost::HostOptions options;
    options.hostDir = dir / "Far\\";
    farhost::Host host(options);
    farhost::Plugin* plugin = host.load(dir / "Far\\Plugins\\Panel\\panel.dll");
    if (!plugin) {
        fprintf(stderr, "cannot load the panel plugin: %s\n", host.lastError().c_str());
        return false;
    }
    auto cycle = [&] {
        farhost::Panel* panel = plugin->open();
        if (!panel) return false;
        panel->key(VK_DOWN);
        if (!panel->setCurrentByName("Folder")) return false;
        panel->enter();
        panel->setDirectory("..");
        HANDLE screen = plugin->startupInfo().SaveScreen(0, 0, -1, -1);
        plugin->startupInfo().RestoreScreen(screen);
        panel->render(100);
        panel->close();
        // A CI driver prints the records of a stretch and starts afresh.
        host.clearTranscript();
        return true;
    };
    if (!measure(100, cycles, cycle, g)) return false;
    for (const std::string& problem : host.problems) fprintf(stderr, "problem: %s\n", problem.c_str());
    return host.problems.empty();
}

// Vantorel's panel over a small tree: every open scans it.
bool vantorelScans(int cycles, Growth& g) {
    TempDir dir("soak");
    if (!copyFolderFiles(distDir(), dir / "Far\\Plugins\\Vantorel\\") ||
        !copyTree(fixtureDir("panel"), dir / "Far\\Plugins\\Panel\\") ||
        !copyTree(fixtureDir("nover"), dir / "Far\\Plugins\\Nover\\"))
        return false;
    farhost::HostOptions options;
    options.hostDir = dir / "Far\\";
    farhost::Host host(options);
    farhost::Plugin* vantorel = host.load(dir / "Far\\Plugins\\Vantorel\\Vantorel.dll");
    if (!vantorel) {
        fprintf(stderr, "cannot load Vantorel: %s\n", host.lastError().c_str());
        return false;
    }
    auto cycle = [&] {
        farhost::Panel* panel = vantorel->open();
        if (!panel) return false;
        panel->key(VK_DOWN);
        panel->render(100);
        panel->close();
        host.clearTranscript();
        return true;
    };
    return measure(50, cycles, cycle, g);
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = argc > 1 ? atoi(argv[1]) : 1000;
    if (cycles <= 0) cycles = 1000;
    Growth panels, scans;
    if (!emulatorPanels(cycles, panels)) return 2;
    report("emulator open/read/browse/close:", cycles, panels);
    if (!vantorelScans(cycles, scans)) return 2;
    report("Vantorel open/scan/close:", cycles, scans);
    return panels.perCycle < 64.0 ? 0 : 1;
}
