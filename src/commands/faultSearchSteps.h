// Which plugin is behind a fault: the user's answers narrow the suspects
// down by halves. Plain rules over a record, no Windows calls, so that the
// narrowing and the state file's text are tried straight from examples.
#pragma once
#include <stddef.h>

constexpr int SEARCH_MAX_FOLDERS = 128;
constexpr int SEARCH_PATH_CHARS = 260;

// What a plugin folder is to the search.
enum SearchRole : char {
    ROLE_SUSPECT = 'S',    // may be the one
    ROLE_REQUIRED = 'R',   // the user needs it for the fault: never switched off
    ROLE_STAYS_OFF = 'E',  // cleared while off by "still there": kept off, so that a second faulty one cannot hide
    ROLE_CLEARED = 'C',    // cleared by "gone" while it was on: stays on
};

struct SearchEntry {
    char folder[SEARCH_PATH_CHARS];   // without its trailing backslash
    char role;                        // a SearchRole
    char off;                         // 1 while the search has it switched off
};

struct SearchState {
    int count;
    int answers;
    int confirmed;    // the fault was once gone: the last suspect left is the one
    int flip;         // "cannot tell": the other half goes off instead
    SearchEntry entries[SEARCH_MAX_FOLDERS];
};

enum SearchAnswer { ANSWER_STILL_THERE, ANSWER_GONE, ANSWER_CANNOT_TELL };
enum SearchOutcome { SEARCH_GOES_ON, SEARCH_FOUND, SEARCH_NONE_ALONE };

int suspectCount(const SearchState& state);
// Sets each entry's wanted off flag for the next try: of the suspects, the
// larger half (the one left, once no answer ever cleared it) is off; the
// required and those cleared by "gone" are on, those cleared by "still
// there" off. Returns the number of suspects off.
int planStep(SearchState* state);
// Applies the answer to the try just made. SEARCH_FOUND leaves one
// suspect; SEARCH_NONE_ALONE: the fault stayed with every suspect off.
SearchOutcome answerStep(SearchState* state, SearchAnswer answer);
// The most answers still needed with this many suspects.
int stepsLeft(int suspects, bool confirmed);
// The first suspect, or -1.
int firstSuspect(const SearchState& state);

// The state file's text, and back; false for a text that is not one.
size_t searchText(const SearchState& state, char* out, size_t cap);
bool readSearchText(const char* text, size_t length, SearchState* state);
