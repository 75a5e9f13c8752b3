// What the search keeps on the disk and changes there: its state file beside
// the plugins folder, written through to the disk like the journal so that a
// FAR that ends in the middle of a search finds it at the next open, and the
// switching of a plugin folder off and on, as Alt+F5 does it.
#pragma once
#include "commands/faultSearchSteps.h"
#include "folders/dllSwitch.h"

#include <windows.h>

// The state of a search under way; false when there is none (or none that
// can be read).
bool loadSearch(SearchState* state);
// Written whole before anything it names is switched: false when it cannot be.
bool saveSearch(const SearchState& state);
void dropSearch();
// Whether a state file lies beside the plugins folder.
bool searchFileExists();
// The state file's path; false when there is no plugins folder to put it beside.
bool searchFilePath(char* out, size_t cap);

// Switches the plugin folder off (FAR lets go of what it loaded from it
// first) or on, and brings FAR's records of it in step with the disk, as
// Alt+F5 does. restart is set when FAR takes the change only at its next
// start (it cannot let go of the plugin now, or does not know it). False,
// with nothing renamed, when the DLLs could not be renamed.
bool switchSearchFolder(HANDLE panel, const char* folder, bool off, bool* restart, SwitchFailure* failure);
