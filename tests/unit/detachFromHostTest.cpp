// Finding and clearing the host's record of a plugin before it is unloaded:
// the host calls through the export addresses it keeps, so a wrong place
// written or a right place missed is worse than no unload at all.
#include "farRecords/recordByHandle.h"
#include "farRecords/recordByHandleScan.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <vector>

using testing_support::fixtureDir;

namespace {

constexpr uint32_t H = 0x10000000, E1 = 0x10001230, E2 = 0x10004560, OTHER = 0x20001000;
const uint32_t EXPORTS[] = {E1, E2};

// words: at index `handleAt` the handle, then the given words at the given
// distances after it (distance 1 = the word right after the handle).
std::vector<uint32_t> layout(size_t size, std::initializer_list<std::pair<size_t, uint32_t>> words) {
    std::vector<uint32_t> v(size, 0x55555555);
    for (auto& w : words) v[w.first] = w.second;
    return v;
}

}  // namespace

TEST(HostRecordScan, TellsTheRecordByTheHandleAndTwoDistinctExportsWithin2KBAfterIt) {
    struct Case {
        const char* what;
        std::vector<uint32_t> words;
        int records;
    } cases[] = {
        {"handle, then two exports", layout(1000, {{10, H}, {20, E1}, {300, E2}}), 1},
        {"the last word of the window counts", layout(1000, {{10, H}, {11, E1}, {10 + 512, E2}}), 1},
        {"one word past the window does not", layout(1000, {{10, H}, {11, E1}, {10 + 513, E2}}), 0},
        {"one export twice is one export", layout(1000, {{10, H}, {11, E1}, {12, E1}}), 0},
        {"exports before the handle", layout(1000, {{5, E1}, {6, E2}, {10, H}}), 0},
        {"other module's addresses", layout(1000, {{10, H}, {11, OTHER}, {12, OTHER + 4}}), 0},
        {"a stray handle in front of a record", layout(1000, {{10, H}, {20, H}, {21, E1}, {22, E2}}), 1},
        {"two records", layout(2000, {{10, H}, {11, E1}, {12, E2}, {1500, H}, {1501, E2}, {1502, E1}}), 2},
        {"window cut at the end of memory", layout(30, {{10, H}, {11, E1}}), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.records, findHostRecords(c.words.data(), c.words.size(), c.words.size(), H, EXPORTS, 2,
                                             nullptr, 0))
            << c.what;
    }
    std::vector<uint32_t> zero = layout(100, {{10, 0}, {11, E1}, {12, E2}});
    EXPECT_EQ(0, findHostRecords(zero.data(), zero.size(), zero.size(), 0, EXPORTS, 2, nullptr, 0))
        << "a null handle is nobody's";
}

TEST(HostRecordScan, ClearsEveryAddressIntoTheImageAndNothingElse) {
    std::vector<uint32_t> w = {H, 7, E1, OTHER, H + 0x7FFF, H + 0x8000, H - 1, E2};
    EXPECT_EQ(4, clearImageAddresses(w.data(), w.size(), H, H + 0x8000));
    EXPECT_EQ((std::vector<uint32_t>{0, 7, 0, OTHER, 0, H + 0x8000, H - 1, 0}), w);
}

// In this process's own memory: a heap block laid out as the host keeps a
// loaded plugin (module name, handle, export addresses 1,124 bytes on).
TEST(DetachFromHost, ClearsExactlyOneRecordAndWritesNothingWhenThereAreNoneOrMore) {
    HMODULE module = LoadLibraryA((fixtureDir("clock") + "clock.dll").c_str());
    ASSERT_TRUE(module);
    ASSERT_TRUE(GetProcAddress(module, "SetStartupInfo") && GetProcAddress(module, "GetPluginInfo"));
    auto address = [&](const char* name) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetProcAddress(module, name)));
    };
    const uint32_t handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
    auto makeRecord = [&]() {
        uint32_t* block = static_cast<uint32_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 2048));
        block[65] = handle;
        block[65 + 281] = address("SetStartupInfo");
        block[65 + 282] = address("GetPluginInfo");
        block[65 + 283] = 0x12345678;
        return block;
    };

    EXPECT_EQ(HOST_RECORD_NOT_FOUND, detachFromHost(module));

    uint32_t* first = makeRecord();
    uint32_t* second = makeRecord();
    EXPECT_EQ(HOST_RECORD_AMBIGUOUS, detachFromHost(module));
    EXPECT_EQ(handle, first[65]);
    EXPECT_EQ(handle, second[65]);

    // A freed block keeps its bytes: clear it first, as a host's would be reused.
    memset(second, 0, 2048);
    HeapFree(GetProcessHeap(), 0, second);
    EXPECT_EQ(HOST_RECORD_CLEARED, detachFromHost(module));
    EXPECT_EQ(0u, first[65]);
    EXPECT_EQ(0u, first[65 + 281]);
    EXPECT_EQ(0u, first[65 + 282]);
    EXPECT_EQ(0x12345678u, first[65 + 283]) << "words that are not into the image stay";
    HeapFree(GetProcessHeap(), 0, first);
    FreeLibrary(module);
}
