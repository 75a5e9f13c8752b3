#include "folders/journalRun.h"

#include "folders/fileOps.h"
#include "folders/folderRemoval.h"
#include "runtime/text.h"

#include <windows.h>

#include <string.h>

namespace {

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Makes the folders above path that are missing.
void makeParents(const char* path) {
    char parent[MAX_PATH];
    copyText(parent, sizeof parent, path);
    for (char* at = parent + 3; *at; ++at)
        if (*at == '\\') {
            *at = 0;
            if (!exists(parent)) fsMakeFolder(parent);
            *at = '\\';
        }
}

// Takes back the renames before count, the last first, each noted.
bool takeBack(const char* journal, const MovePlan& plan, int count, PlanRun* run) {
    for (int i = count - 1; i >= 0; --i) {
        const MovePlan::Move& move = plan.moves[i];
        if (!fsMove(move.to, move.from)) {
            run->stuckMove = i;
            return false;
        }
        noteStep(journal, "undone", i);
    }
    return true;
}

}  // namespace

bool runCleanUp(const char* journal, const MovePlan& plan, unsigned done, char* notKept, size_t cap) {
    for (int i = 0; i < plan.removalCount; ++i) {
        if (done & (1u << (FIRST_REMOVAL + i))) continue;
        RemovalProblem problem;
        if (exists(plan.removals[i])) removeFolder(plan.removals[i], &problem);
        if (!noteStep(journal, "done", FIRST_REMOVAL + i)) return false;
    }
    for (int i = 0; i < plan.keepCount; ++i) {
        if (done & (1u << (FIRST_KEEP + i))) continue;
        const MovePlan::Move& keep = plan.keeps[i];
        if (exists(keep.from)) {
            makeParents(keep.to);
            // What cannot be kept (an older build in the way that could not
            // be removed) goes to the Recycle Bin rather than staying hidden.
            if (!fsMove(keep.from, keep.to)) {
                RemovalProblem problem;
                if (removeFolder(keep.from, &problem) && notKept) copyText(notKept, cap, keep.from);
            }
        }
        if (!noteStep(journal, "done", FIRST_KEEP + i)) return false;
    }
    return true;
}

PlanRun runPlan(const char* journal, const MovePlan& plan) {
    PlanRun run;
    memset(&run, 0, sizeof run);
    run.failedMove = -1;
    run.stuckMove = -1;
    if (!beginJournal(journal, plan)) {
        run.outcome = RUN_NOT_STARTED;
        run.error = GetLastError();
        return run;
    }
    int made = 0;
    bool noted = true;
    for (; made < plan.moveCount && noted; ++made) {
        if (!fsMove(plan.moves[made].from, plan.moves[made].to)) {
            run.failedMove = made;
            break;
        }
        noted = noteStep(journal, "done", made);
    }
    if (made == plan.moveCount && noted) noted = noteStep(journal, "commit");
    if (made < plan.moveCount || !noted) {
        run.error = GetLastError();
        if (!takeBack(journal, plan, made, &run)) {
            run.outcome = RUN_STUCK;
            run.journalLeft = true;
            return run;
        }
        run.outcome = made || !noted ? RUN_TAKEN_BACK : RUN_NOT_STARTED;
        run.journalLeft = !endJournal(journal);
        return run;
    }
    run.outcome = RUN_DONE;
    run.journalLeft = !runCleanUp(journal, plan, 0, run.notKept, sizeof run.notKept) || !endJournal(journal);
    return run;
}
