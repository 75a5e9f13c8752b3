// Repairing a change that FAR's end interrupted, from its journal: renames
// made are taken back (or, where that cannot be, the rest is made), the
// clean-up of a committed change is finished, and what the change had
// staged goes to the Recycle Bin. The notes say which steps were made; only
// the one step in flight when the process ended is read from the disk, and
// the repair notes its own steps, so that running it any number of times,
// or stopping it anywhere, never moves or removes anything twice.
#pragma once
#include "folders/moveJournal.h"

enum RecoveryOutcome {
    RECOVERY_NONE,        // no journal: nothing was interrupted
    RECOVERY_UNDONE,      // the renames made were taken back: everything is as before
    RECOVERY_FINISHED,    // the change was whole, or is made whole: its clean-up was finished
    RECOVERY_UNREADABLE,  // a journal that cannot be read: left alone
    RECOVERY_STUCK,       // the repair cannot go on: the journal stays (see why)
};
enum StuckReason {
    STUCK_NOT,
    STUCK_JOURNAL,        // the journal cannot be written (held open, cannot be made writable)
    STUCK_RENAME,         // a rename failed (a file held open): path and error say which
    STUCK_MISSING,        // pieces the plan names are gone (removed by hand): neither way is whole
    STUCK_HELD,           // a plugin FAR has loaded from the folder could not be let go of
};
struct Recovery {
    RecoveryOutcome outcome;
    StuckReason why;
    unsigned long error;
    char path[260];        // the file or folder concerned, or the plugin folder named
    bool journalLeft;      // repaired, but the journal could not be deleted
    char notKept[260];     // a replaced build that went to the Recycle Bin
    MovePlan plan;
};

// Called before the repair first moves anything under folder (a plugin
// folder the plan names): FAR lets go of what it loaded from there. False
// stops the repair before it moves anything.
typedef bool (*LetGoFunction)(const char* folder, void* context);

// Looks for an interrupted change behind journal and repairs it.
const Recovery& recoverJournal(const char* journal, LetGoFunction letGo = nullptr, void* context = nullptr);

// Folders left in the staging folders by a change whose process ended
// before it wrote its journal (a build being staged, an empty holder):
// with no journal there, those of processes no longer running go to the
// Recycle Bin (ownToo: this process's too, as if it had ended).
void clearStagingLeftovers(bool ownToo = false);
