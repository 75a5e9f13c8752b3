// A change of a plugin's folder or DLLs is a few renames with windows
// between them; if FAR ends in one of them (another plugin faults, the power
// goes), a plugin could be left half moved. So before the first move the
// whole plan is written to a small journal beside the plugins folder, on
// disk, and the journal is cleared once the change is whole. Finding a
// journal when Vantorel next opens means a change was interrupted: the moves
// made are undone, or, after the change was whole, its clean-up is finished.
#pragma once
#include <stddef.h>

// One plan: moves in order; once they are all made (committed), the
// clean-up: what is removed, then what is moved on to be kept (a replaced
// build kept as the plugin's previous one).
struct MovePlan {
    static const int MOVES = 16;
    static const int REMOVALS = 4;
    static const int KEEPS = 4;
    struct Move {
        char from[260];
        char to[260];
    } moves[MOVES];
    int moveCount;
    char removals[REMOVALS][260];
    int removalCount;
    Move keeps[KEEPS];
    int keepCount;
    bool committed;     // every move was made: what is left is the clean-up
};
// Adds a step to a plan; false when the plan has no room left.
bool planMove(MovePlan& plan, const char* from, const char* to);
bool planRemoval(MovePlan& plan, const char* path);
bool planKeep(MovePlan& plan, const char* from, const char* to);
// The clean-up of a committed plan, done again safely after a crash.
void cleanUp(const MovePlan& plan);

// The journal's text for a plan, and the plan read back from such a text;
// false for a text that is not a whole journal (it is never acted on).
size_t writeJournalText(const MovePlan& plan, char* out, size_t cap);
bool readJournalText(const char* text, size_t length, MovePlan* plan);

// The journal file that covers a plugin folder or DLL at path (beside the
// plugins folder that holds it); false when there is none to be had.
bool journalPathFor(const char* path, char* out, size_t cap);

// Writes the plan through to disk before its first move; false when it
// cannot be (and then nothing may move).
bool beginJournal(const char* journal, const MovePlan& plan);
// Marks the plan whole: after this a recovery finishes instead of undoing.
bool commitJournal(const char* journal, MovePlan& plan);
// The change is whole and clean: the journal goes.
void endJournal(const char* journal);

enum RecoveryOutcome {
    RECOVERY_NONE,        // no journal: nothing was interrupted
    RECOVERY_UNDONE,      // the moves made were taken back: everything is as before
    RECOVERY_FINISHED,    // the change was whole: its clean-up was finished
    RECOVERY_UNREADABLE,  // a journal that cannot be read: left alone
    RECOVERY_STUCK,       // a move could not be taken back: the journal stays
};
struct Recovery {
    RecoveryOutcome outcome;
    MovePlan plan;
};
// Looks for an interrupted change behind journal and repairs it.
Recovery recoverJournal(const char* journal);
