// Putting a plugin folder in place as a whole. Its new content is made in a
// staging folder on the same volume but outside the plugins tree (the host
// loads every DLL it finds under its plugins folder at its next start, so a
// half-made folder there would be loaded as a plugin), and only the finished
// folder is moved in: an existing one goes aside first, the new one takes
// its place, and the old one is kept as the plugin's previous build; on any
// failure the old one goes back. The moves are journaled (moveJournal.h).
// Updating a plugin the host has loaded calls this between unloading it and
// loading it again.
#pragma once
#include <stddef.h>

// The path of name beside the plugins folder path lies in (the personal one
// when path lies there and it is outside the plugins folder): the same disk,
// out of FAR's reach.
// root, when given, receives the plugins folder chosen (nullptr when path
// lies in none, and then the place is beside path itself).
bool besidePluginsFolder(const char* path, const char* name, char* out, size_t cap, const char** root = nullptr);

// Makes a new, empty staging folder for a folder that will be put at target
// (same volume: beside the plugins folder target lies in). False when none
// can be made; the reason is left in GetLastError.
bool makeStagingFolder(const char* target, char* staged, size_t cap);

enum PlaceOutcome {
    PLACE_DONE = 0,        // the new folder is at target; an old one is gone
    PLACE_ASIDE_FAILED,    // the old folder could not be moved aside: nothing changed
    PLACE_IN_FAILED,       // the new folder could not be moved in: the old one is back
    PLACE_RESTORE_FAILED,  // ... and the old one could not be moved back (see heldAside)
};
struct PlaceResult {
    PlaceOutcome outcome;
    unsigned long error;          // the Windows error of the failed step
    char heldAside[260];          // where the old folder is when it could not go back
    bool oldLeft;                 // the old folder, set aside, could not be removed
};
// Moves the staged folder to target. The staged folder is consumed on
// success and stays (for the caller to discard) on failure.
PlaceResult placeStagedFolder(const char* staged, const char* target);

// Removes the folders staging folders go in when nothing is left in them
// (an old folder that could not be put back stays, and so does its parent).
void tidyStagingFolders();

// Removes a folder with everything in it; true when it is gone.
bool removeFolderTree(const char* path);

// Tests make steps fail: the folder moves are counted from 1 in each
// placeStagedFolder (1 old aside, 2 new in, 3 old back) and those whose bit
// (1 << step) is set fail with the error given; 0 lets every move through.
void failFolderMoves(unsigned steps, unsigned long error);
// Tests stop a swap as if the process ended right after step (1 the old
// folder aside, 2 the new one in, 3 the journal committed); 0 runs it whole.
void stopSwapAfter(int step);
