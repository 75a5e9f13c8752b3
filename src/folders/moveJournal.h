// A change of a plugin's folder or DLLs is a few renames with windows
// between them; if FAR ends in one of them (another plugin faults, the power
// goes), a plugin could be left half moved. So before the first rename the
// whole plan is written to a small journal beside the plugins folder, on
// disk, and every step is noted there as it is made. Finding a journal when
// Vantorel next opens means a change was interrupted: its repair
// (journalRepair.h) reads from the notes which steps were made, so that it
// never has to guess from what the disk shows, and notes its own steps the
// same way, so that it may itself be interrupted and run again.
#pragma once
#include <stddef.h>

// One plan: the plugin folders it changes, renames in order; once they are
// all made (committed), the clean-up: what goes to the Recycle Bin, then
// what is moved on to be kept (a replaced build kept as the previous one).
struct MovePlan {
    static const int MOVES = 16;
    static const int REMOVALS = 4;
    static const int KEEPS = 4;
    static const int FOLDERS = 4;
    struct Move {
        char from[260];
        char to[260];
    } moves[MOVES];
    int moveCount;
    char removals[REMOVALS][260];
    int removalCount;
    Move keeps[KEEPS];
    int keepCount;
    char folders[FOLDERS][260];
    int folderCount;
};

// Steps are numbered across the plan: renames from 0, removals from
// FIRST_REMOVAL, keeps from FIRST_KEEP.
const int FIRST_REMOVAL = MovePlan::MOVES;
const int FIRST_KEEP = FIRST_REMOVAL + MovePlan::REMOVALS;

// What the notes after the plan say was done.
struct JournalProgress {
    unsigned done;      // a bit per step made
    bool committed;     // every rename was made: what is left is the clean-up
    unsigned undone;    // a bit per rename taken back
    bool dropped;       // what the change had staged is gone
    bool older;         // a journal of the build before, which kept no notes
};

// Adds a step to a plan; false when the plan has no room left.
bool planMove(MovePlan& plan, const char* from, const char* to);
bool planRemoval(MovePlan& plan, const char* path);
bool planKeep(MovePlan& plan, const char* from, const char* to);
bool planFolder(MovePlan& plan, const char* folder);

// The journal's text for a plan, and a plan and its notes read back from
// such a text; false for a text whose plan is not whole (never acted on).
// A note cut off by the process's end is no note.
size_t writeJournalText(const MovePlan& plan, char* out, size_t cap);
bool readJournalText(const char* text, size_t length, MovePlan* plan, JournalProgress* progress);
// The first plugin folder (or path) a journal's text names, as far as it
// can be read: for telling the user about a journal that cannot be read.
void firstPathOf(const char* text, size_t length, char* out, size_t cap);

// The name a journal is written under before it is renamed into place.
constexpr char JOURNAL_BEING_WRITTEN[] = ".new";

// Writes the plan through to disk before its first rename; false when it
// cannot be, or when a journal is there already (an interrupted change not
// yet repaired: nothing may move until it is).
bool beginJournal(const char* journal, const MovePlan& plan);
// Notes a step ("done", "undone" with its number; "commit", "dropped"
// without), through to the disk; false when it cannot be noted.
bool noteStep(const char* journal, const char* word, int step = -1);
// The change is whole: the journal goes. False when it stays (read-only
// and cannot be made writable, held open).
bool endJournal(const char* journal);

// A journal of the plugins folders is there: an interrupted change whose
// repair did not end, or a journal that cannot be read. Its path goes to
// out when given.
bool journalInTheWay(char* out = nullptr, size_t cap = 0);
