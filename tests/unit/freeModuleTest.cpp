// Releasing a plugin's module for the unload command: a release that fails or
// faults is reported and the handle kept, so the panel does not claim the
// plugin is gone.
#include "foreign/probe.h"
#include "farRecords/pluginRelease.h"
#include "state/pluginState.h"
#include "testSupport.h"
#include "ui/messages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<int> shown;   // message ids of the warning boxes

const char* WINAPI idText(int, int id) {
    static char texts[64][8];
    snprintf(texts[id & 63], sizeof texts[0], "%d", id);
    return texts[id & 63];
}
int WINAPI recordBox(int, DWORD, const char*, const char* const* items, int n, int) {
    if (n >= 2) shown.push_back(atoi(items[1]));
    return 0;
}

int calls = 0;
BOOL WINAPI releaseOk(HMODULE) { ++calls; return TRUE; }
BOOL WINAPI releaseFails(HMODULE) { ++calls; SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
BOOL WINAPI releaseFaults(HMODULE) {
    ++calls;
    RaiseException(0xE0FA1502u, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return TRUE;
}

}  // namespace

TEST(FreePluginModule, ClearsTheHandleOnlyWhenTheReleaseSucceeded) {
    struct Case {
        ReleaseLibraryFunction release;
        bool cleared;
        std::vector<int> messages;
    } cases[] = {
        {releaseOk, true, {}},
        {releaseFails, false, {MFreeFailed}},
        {releaseFaults, false, {MFreeFault}},
    };
    PluginStartupInfo saved = startupInfo;
    ReleaseLibraryFunction savedRelease = releaseLibrary;
    startupInfo.GetMsg = idText;
    startupInfo.Message = recordBox;
    for (const Case& c : cases) {
        shown.clear();
        calls = 0;
        releaseLibrary = c.release;
        HMODULE module = reinterpret_cast<HMODULE>(0x10000000);
        freePluginModule(&module);
        EXPECT_EQ(1, calls);
        EXPECT_EQ(c.cleared, module == nullptr);
        EXPECT_EQ(c.messages, shown);
    }
    releaseLibrary = savedRelease;
    startupInfo = saved;
}
