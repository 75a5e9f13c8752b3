// Making a journaled change: the plan is written first, each rename is noted
// as it is made, the plan is committed once every rename is made, and then
// the clean-up runs, noted step by step. Anything that fails before the
// commit (a rename, or a note that cannot be written) takes the change back
// at once, so that a change is whole or not made at all.
#pragma once
#include "folders/moveJournal.h"

enum RunOutcome {
    RUN_DONE,          // every rename made; the clean-up ran
    RUN_NOT_STARTED,   // the journal could not be begun, or the first rename failed: nothing changed
    RUN_TAKEN_BACK,    // a later step failed and every rename made was taken back
    RUN_STUCK,         // ... and one could not be taken back: the journal stays for the repair
};
struct PlanRun {
    RunOutcome outcome;
    int failedMove;           // the rename that failed; -1 when the journal failed
    unsigned long error;      // the Windows error of what failed
    int stuckMove;            // the rename that could not be taken back
    bool journalLeft;         // the journal stays (the clean-up or its end did not finish)
    char notKept[260];        // a replaced build that could not be kept and went to the Recycle Bin
};

// Runs plan under journal (both stay in the caller's hands).
PlanRun runPlan(const char* journal, const MovePlan& plan);

// The clean-up of a committed plan, step by step, each noted; steps already
// noted are passed over, and a step whose effect the disk shows is not made
// again. False when a note cannot be written (the journal then stays).
bool runCleanUp(const char* journal, const MovePlan& plan, unsigned done, char* notKept, size_t cap);
