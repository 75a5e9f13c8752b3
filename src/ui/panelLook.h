// How the panel looks in the host: title, flags, view modes, key bar, and the
// view mode each of list and browse mode keeps.
#pragma once
#include "far/farPlugin.h"

// GetOpenPluginInfo: the panel's title, flags, view modes and key bar, and
// the cursor placed where it is expected. This and comparePanelItems are in
// their exports' calling convention, so that each export is a single jump.
void WINAPI describePanel(HANDLE handle, OpenPluginInfo* info);
// Compare: the list's own orders (by version, by folder path); -2 leaves the
// order to the host.
int WINAPI comparePanelItems(HANDLE handle, const PluginPanelItem* item1, const PluginPanelItem* item2,
                             unsigned int mode);

// Exchanges the panel's current view mode with the one remembered in saved
// (-1: nothing remembered yet, so only the current mode is recorded).
void swapViewMode(HANDLE panel, int* saved);

// The list asks for the host's highlighting by name and attributes: with
// attributes alone the host applies only its rules that ignore names, and
// those colour every folder alike, so a loaded (system) plugin would not
// stand out.
static const DWORD LIST_MODE_FLAGS = OPIF_USEHIGHLIGHTING | OPIF_RAWSELECTION | OPIF_REALNAMES |
                                     OPIF_SHOWNAMESONLY | OPIF_EXTERNALGET | OPIF_EXTERNALDELETE;
static const DWORD BROWSE_MODE_FLAGS = OPIF_USEHIGHLIGHTING | OPIF_RAWSELECTION | OPIF_REALNAMES |
                                       OPIF_SHOWNAMESONLY | OPIF_EXTERNALGET | OPIF_EXTERNALPUT |
                                       OPIF_EXTERNALDELETE | OPIF_EXTERNALMKDIR;
static_assert(LIST_MODE_FLAGS == 0x2874, "list mode flags");
static_assert(BROWSE_MODE_FLAGS == 0x7874, "browse mode flags");

// Index of the item whose name is name, ignoring case; -1 when none is.
int findItemNamed(const PluginPanelItem* items, int count, const char* name);
// The cursor is to stand on the item named name once the panel has been read
// again (empty name: nothing to place).
struct PanelState;
void expectCursorOn(PanelState* panel, const char* name);
// The panel's items were read again.
void panelWasRead(PanelState* panel);
// The user acted: a cursor not yet placed stays where it is.
void cursorMovedByUser(PanelState* panel);
