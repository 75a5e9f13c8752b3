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
