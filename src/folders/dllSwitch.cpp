#include "folders/dllSwitch.h"

#include "runtime/folderWalk.h"
#include "dll/pluginFitness.h"
#include "folders/moveJournal.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"

#include <string.h>

namespace {

struct Collected {
    bool off;
    MovePlan* plan;
    bool full;
};

// A DLL to rename: its path now and its path after.
int collect(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    Collected* collected = static_cast<Collected*>(context);
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    char path[MAX_PATH], renamed[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) return 0;
    size_t n = strlen(path);
    if (collected->off) {
        if (n < 5 || !equalNoCase(path + n - 4, ".dll") || !exportsFarEntryPoint(path)) return 0;
        copyText(renamed, sizeof renamed, path);
        if (!appendWhole(renamed, sizeof renamed, SWITCHED_OFF_SUFFIX)) return 0;
    } else {
        if (!isSwitchedOff(path)) return 0;
        copyTextN(renamed, sizeof renamed, path, n - (sizeof SWITCHED_OFF_SUFFIX - 1));
    }
    if (!planMove(*collected->plan, path, renamed)) collected->full = true;
    return 0;
}

}  // namespace

int switchDllsUnder(const char* folder, bool off, SwitchFailure* failure) {
    memset(failure, 0, sizeof *failure);
    static MovePlan plan;   // too big for the host's stack
    memset(&plan, 0, sizeof plan);
    Collected collected = {off, &plan, false};
    walkFolder(folder, collect, &collected, 1);
    if (collected.full) {
        copyText(failure->path, sizeof failure->path, folder);
        failure->error = ERROR_TOO_MANY_NAMES;
        return -1;
    }
    if (!plan.moveCount) return 0;
    char journal[MAX_PATH];
    if (!journalPathFor(folder, journal, sizeof journal) || !beginJournal(journal, plan)) {
        copyText(failure->path, sizeof failure->path, folder);
        failure->error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        return -1;
    }
    for (int i = 0; i < plan.moveCount; ++i) {
        if (MoveFileExA(plan.moves[i].from, plan.moves[i].to, 0)) continue;
        copyText(failure->path, sizeof failure->path, plan.moves[i].from);
        failure->error = GetLastError();
        // All of the plugin's DLLs or none: those renamed go back.
        for (int j = i - 1; j >= 0; --j) MoveFileExA(plan.moves[j].to, plan.moves[j].from, 0);
        endJournal(journal);
        return -1;
    }
    endJournal(journal);
    return plan.moveCount;
}

namespace {

int settleOff(const WIN32_FIND_DATAA* entry, const char* folder, void*) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    char off[MAX_PATH], fresh[MAX_PATH];
    copyText(off, sizeof off, folder);
    if (!appendWhole(off, sizeof off, entry->cFileName) || !isSwitchedOff(off)) return 0;
    copyTextN(fresh, sizeof fresh, off, strlen(off) - (sizeof SWITCHED_OFF_SUFFIX - 1));
    if (GetFileAttributesA(fresh) == INVALID_FILE_ATTRIBUTES) return 0;
    // The new build's DLL replaces the old one under the switched-off name.
    if (DeleteFileA(off)) MoveFileExA(fresh, off, 0);
    return 0;
}

}  // namespace

void keepSwitchedOff(const char* stage) { walkFolder(stage, settleOff, nullptr, 1); }
