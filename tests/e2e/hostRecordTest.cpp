// The emulator keeps each plugin's module handle and export addresses in its
// record, in the host's array of records, as the released host does, and nowhere else: a
// search of the committed private read-write memory (outside the calling
// thread's stack) for the handle followed within 2 KB by at least two of the
// module's export addresses finds that record and only it.
#include "harness.h"

using namespace testing_support;
using farhost::Export;
using farhost::Panel;
using farhost::Plugin;
using farhost::PluginRecord;

namespace {

constexpr size_t kWindow = 2048;
const char* const kExports[] = {"SetStartupInfo", "GetPluginInfo", "OpenPlugin", "ClosePlugin",
                                "GetOpenPluginInfo", "GetFindData", "FreeFindData", "SetDirectory",
                                "ProcessKey", "ProcessEvent", "ExitFAR"};

// Every place that holds the handle with at least two export addresses within
// the window after it.
std::vector<const void*> placesHolding(HMODULE module) {
    ULONG_PTR exports[sizeof kExports / sizeof kExports[0]] = {};   // on the stack: not a place of its own
    size_t count = 0;
    for (const char* name : kExports)
        if (FARPROC p = GetProcAddress(module, name)) exports[count++] = reinterpret_cast<ULONG_PTR>(p);
    NT_TIB* tib = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    const char* stackLow = static_cast<const char*>(tib->StackLimit);
    const char* stackHigh = static_cast<const char*>(tib->StackBase);

    std::vector<const void*> found;
    found.reserve(16);
    MEMORY_BASIC_INFORMATION mbi;
    for (const char* at = nullptr; VirtualQuery(at, &mbi, sizeof mbi) == sizeof mbi;
         at = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        const char* base = static_cast<const char*>(mbi.BaseAddress);
        if (mbi.State != MEM_COMMIT || mbi.Type != MEM_PRIVATE || mbi.Protect != PAGE_READWRITE) continue;
        if (base >= stackLow && base < stackHigh) continue;
        const ULONG_PTR* words = reinterpret_cast<const ULONG_PTR*>(base);
        size_t n = mbi.RegionSize / sizeof(ULONG_PTR);
        for (size_t i = 0; i < n; ++i) {
            if (words[i] != reinterpret_cast<ULONG_PTR>(module)) continue;
            int hits = 0;
            for (size_t j = i + 1; j < n && j <= i + kWindow / sizeof(ULONG_PTR); ++j)
                for (size_t e = 0; e < count; ++e) hits += words[j] == exports[e];
            if (hits >= 2) found.push_back(&words[i]);
        }
    }
    return found;
}

class HostRecordTest : public HostTest {};

TEST_F(HostRecordTest, TheHandleWithItsExportAddressesIsInTheHostsRecordAndNowhereElse) {
    addFixture("calllog", "CallLog\\");
    addFixture("panel", "Panel\\");
    FarSetup setup;
    setup.loadAll = true;
    start(setup);
    Plugin* calllog = host->findPlugin("calllog.dll");
    ASSERT_NE(nullptr, calllog);
    // A working host: panels open in both halves, keys read, menus built.
    Panel* panel = vantorel->open();
    ASSERT_NE(nullptr, panel);
    ASSERT_NE(nullptr, host->openOtherPanel(calllog));
    panel->key(VK_DOWN);
    host->pluginsMenu();

    for (Plugin* plugin : {calllog, vantorel}) {
        SCOPED_TRACE(plugin->path());
        HMODULE module = plugin->module();
        std::vector<const void*> places = placesHolding(module);
        ASSERT_EQ(1u, places.size());
        EXPECT_EQ(static_cast<const void*>(&plugin->record()->module), places[0]);
        EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(module, "OpenPlugin")),
                  plugin->record()->entries[static_cast<int>(Export::OpenPlugin)]);
    }

    // Released by the host itself, its record is cleared but for the name.
    host->unload(calllog);
    EXPECT_EQ(nullptr, calllog->record()->module);
    EXPECT_EQ(pluginsDir() + "CallLog\\calllog.dll", std::string(calllog->record()->modulePath));
    EXPECT_FALSE(calllog->has("GetPluginInfo"));
}

// What the released host does with a record a plugin manager cleared: it
// calls nothing of that plugin; it is gone from the menus and quitting is
// clean.
TEST_F(HostRecordTest, AClearedRecordIsNeverCalledAndThePluginLeavesTheMenus) {
    addFixture("calllog", "CallLog\\");
    FarSetup setup;
    setup.loadAll = true;
    start(setup);
    Plugin* calllog = host->findPlugin("calllog.dll");
    ASSERT_NE(nullptr, calllog);
    size_t before = host->pluginsMenu().size();
    const std::string log = pluginsDir() + "CallLog\\calllog.dll.log";
    HMODULE module = calllog->module();
    PluginRecord* record = const_cast<PluginRecord*>(calllog->record());
    farhost::clearPluginRecord(record, host->records().layout());   // what a manager's unload does to the host's memory
    ASSERT_TRUE(FreeLibrary(module));
    size_t logged = readLines(log).size();

    EXPECT_EQ(before - 1, host->pluginsMenu().size());
    host->diskMenu();
    EXPECT_TRUE(host->quit());
    EXPECT_TRUE(host->faults.empty()) << host->faults[0];
    EXPECT_EQ(logged, readLines(log).size());
}

}  // namespace
