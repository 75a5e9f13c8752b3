#include "folders/dllSwitch.h"

#include "runtime/folderWalk.h"
#include "dll/pluginFitness.h"
#include "folders/besidePlugins.h"
#include "folders/journalRun.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"

#include <string.h>

namespace {

bool isDllName(const char* name) {
    size_t n = strlen(name);
    return n > 4 && equalNoCase(name + n - 4, ".dll");
}

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
        if (!isDllName(path) || !exportsFarEntryPoint(path)) return 0;
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
    if (collected.full || !planFolder(plan, folder)) {
        copyText(failure->path, sizeof failure->path, folder);
        failure->error = ERROR_TOO_MANY_NAMES;
        return -1;
    }
    if (!plan.moveCount) return 0;
    char journal[MAX_PATH];
    if (!journalPathFor(folder, journal, sizeof journal)) {
        copyText(failure->path, sizeof failure->path, folder);
        failure->error = ERROR_PATH_NOT_FOUND;
        return -1;
    }
    // All of the plugin's DLLs or none: a rename that fails takes back
    // those made before it.
    PlanRun run = runPlan(journal, plan);
    if (run.outcome == RUN_DONE) return plan.moveCount;
    failure->error = run.error;
    failure->journal = run.failedMove < 0;
    failure->putBack = run.outcome == RUN_TAKEN_BACK && run.failedMove > 0;
    failure->stuck = run.outcome == RUN_STUCK;
    if (failure->journal) {
        copyText(failure->path, sizeof failure->path, journal);
    } else {
        // The file in the way when there is one, else the one renamed.
        const MovePlan::Move& move = plan.moves[run.failedMove];
        bool inTheWay = run.error == ERROR_ALREADY_EXISTS || run.error == ERROR_FILE_EXISTS ||
                        GetFileAttributesA(move.to) != INVALID_FILE_ATTRIBUTES;
        copyText(failure->path, sizeof failure->path, inTheWay ? move.to : move.from);
    }
    return -1;
}

namespace {

// The old build's switched-off DLL goes where the new build brings a DLL of
// that name, wherever in its tree (a new build may move it into bin\).
int dropReplacedOff(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    char off[MAX_PATH], fresh[MAX_PATH];
    copyText(off, sizeof off, folder);
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !appendWhole(off, sizeof off, entry->cFileName) ||
        !isSwitchedOff(off))
        return 0;
    copyTextN(fresh, sizeof fresh, entry->cFileName, strlen(entry->cFileName) - (sizeof SWITCHED_OFF_SUFFIX - 1));
    if (fileNamedUnder(static_cast<const char*>(context), fresh)) DeleteFileA(off);
    return 0;
}

// Every plugin DLL of the new build takes the switched-off name; helper DLLs
// (no entry point of FAR's) keep theirs.
int settleOff(const WIN32_FIND_DATAA* entry, const char* folder, void*) {
    char fresh[MAX_PATH], off[MAX_PATH];
    copyText(fresh, sizeof fresh, folder);
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !appendWhole(fresh, sizeof fresh, entry->cFileName) ||
        !isDllName(fresh) || !exportsFarEntryPoint(fresh) || !switchedName(fresh, off, sizeof off))
        return 0;
    MoveFileExA(fresh, off, 0);
    return 0;
}

}  // namespace

void keepSwitchedOff(const char* stage) {
    walkFolder(stage, dropReplacedOff, const_cast<char*>(stage), 1);
    walkFolder(stage, settleOff, nullptr, 1);
}
