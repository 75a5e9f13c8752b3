// What the commands on several plugins share: the path lines of their one
// question, and the panel brought up to date after the change.
#pragma once
#include "state/panelState.h"
#include "ui/messages.h"

typedef char BoxLine[BOX_TEXT_CHARS + 1];

// Adds one line per path, shortened in its middle, for at most shownMax of
// count paths (paths holds those shown), then "... and N more"; lines needs
// shownMax + 1 entries. Returns the new number of items.
int addPathLines(const char* const* paths, int count, int shownMax, BoxLine* lines, const char** items, int n);

// After a change under these folders: the catalogue's modules asked again,
// the panel read again and drawn.
void refreshAfterChange(PanelState* panel, const char* const* folders, int count);

// The plugins of a selection a command leaves as they are, each with its
// reason, told in one box after the command did what it could.
struct Refused {
    static const int KEPT = 6;
    BoxLine lines[2 * KEPT + 1];   // each one's name, then its reason
    int count;
    // Notes path (its file or folder name) with the reason's text.
    void add(const char* path, const char* reason);
    void add(const char* path, int reason) { add(path, msgText(reason)); }
};
// The box at the end: how many were acted on (done, with doneText: a text
// with %d, or 0 for none), then "Left as they are:" and each refusal.
void tellRefused(const Refused& refused, int done, int doneText);
