// Putting a plugin folder in place as a whole. Its new content is made in a
// staging folder on the same volume but outside the plugins tree (the host
// loads every DLL it finds under its plugins folder at its next start, so a
// half-made folder there would be loaded as a plugin), and only the finished
// folder is moved in: an existing one goes aside first, the new one takes
// its place, and the old one is kept as the plugin's previous build; on any
// failure the old one goes back. The moves are journaled (journalRun.h).
// Updating a plugin the host has loaded calls this between unloading it and
// loading it again.
#pragma once
#include <stddef.h>

enum PlaceOutcome {
    PLACE_DONE = 0,        // the new folder is at target; an old one is gone
    PLACE_ASIDE_FAILED,    // the old folder could not be moved aside: nothing changed
    PLACE_IN_FAILED,       // the new folder could not be moved in: the old one is back
    PLACE_RESTORE_FAILED,  // ... and the old one could not be moved back (see heldAside)
};
struct PlaceResult {
    PlaceOutcome outcome;
    unsigned long error;          // the Windows error of the failed step
    bool journalFailed;           // what failed was writing the journal
    char heldAside[260];          // where the old folder is when it could not go back
    bool oldLeft;                 // the old folder could not be kept as the previous build: Recycle Bin
    bool journalLeft;             // the journal stayed: the next open finishes the change
};
// Moves the staged folder to target. The staged folder is consumed on
// success and stays (for the caller to discard) on failure.
PlaceResult placeStagedFolder(const char* staged, const char* target);
