#include "folders/pluginSwap.h"

#include "folders/besidePlugins.h"
#include "folders/fileOps.h"
#include "folders/journalRun.h"
#include "folders/previousBuilds.h"
#include "runtime/text.h"

#include <windows.h>

#include <string.h>

namespace {

MovePlan swapPlan;   // too big for the host's stack

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The plan of a swap: the old folder aside (kept as the previous build, the
// one before going to the Recycle Bin), the new one in.
bool planSwap(MovePlan& plan, const char* staged, const char* target, const char* aside) {
    memset(&plan, 0, sizeof plan);
    if (!planFolder(plan, target)) return false;
    if (!aside) return planMove(plan, staged, target);
    if (!planMove(plan, target, aside) || !planMove(plan, staged, target)) return false;
    char previous[MAX_PATH];
    if (!previousBuildPath(target, previous, sizeof previous)) return planRemoval(plan, aside);
    // Going back swaps the previous build itself in: nothing to remove then.
    if (exists(previous) && !equalNoCase(previous, staged) && !planRemoval(plan, previous)) return false;
    return planKeep(plan, aside, previous);
}

}  // namespace

PlaceResult placeStagedFolder(const char* staged, const char* target) {
    PlaceResult result;
    memset(&result, 0, sizeof result);
    bool replacing = exists(target);
    char holder[MAX_PATH] = "", aside[MAX_PATH] = "", journal[MAX_PATH];
    const char* name = strrchr(target, '\\');
    bool named = !replacing || (makeAsideHolder(target, holder, sizeof holder) &&
                                copyText(aside, sizeof aside, holder) &&
                                appendWhole(aside, sizeof aside, name ? name : "\\old"));
    MovePlan& plan = swapPlan;
    if (!named || !journalPathFor(target, journal, sizeof journal) ||
        !planSwap(plan, staged, target, replacing ? aside : nullptr)) {
        result.outcome = PLACE_ASIDE_FAILED;
        result.error = named ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        if (holder[0]) fsRemoveEmptyFolder(holder);
        return result;
    }
    PlanRun run = runPlan(journal, plan);
    result.error = run.error;
    result.journalFailed = run.failedMove < 0 && run.outcome != RUN_DONE;
    result.journalLeft = run.journalLeft;
    result.oldLeft = run.notKept[0] != 0;
    switch (run.outcome) {
    case RUN_DONE: result.outcome = PLACE_DONE; break;
    case RUN_NOT_STARTED: result.outcome = replacing ? PLACE_ASIDE_FAILED : PLACE_IN_FAILED; break;
    case RUN_TAKEN_BACK: result.outcome = PLACE_IN_FAILED; break;
    case RUN_STUCK:
        result.outcome = PLACE_RESTORE_FAILED;
        copyText(result.heldAside, sizeof result.heldAside, aside);
        break;
    }
    if (holder[0] && result.outcome != PLACE_RESTORE_FAILED && exists(holder)) fsRemoveEmptyFolder(holder);
    if (result.outcome == PLACE_DONE) tidyStagingFolders();
    return result;
}
