// Browse mode: the content of one plugin's folder, shown as real files.
#pragma once
#include "state/panelState.h"

// SetDirectory: Enter on a plugin in the list opens its folder in browse
// mode; in browse mode, moves between its folders and back to the list. In
// the export's calling convention, so that the export is a single jump.
int WINAPI changePanelFolder(HANDLE handle, const char* dir, int opMode);

// The browse-mode read of the panel: the entries of currentDir, each named by
// its full path. Always 1.
int listBrowseFolder(PanelState* panel, PluginPanelItem** items, int* count);

// Visit function of the browse listing; the context is a BrowseCursor.
struct BrowseCursor {
    PluginPanelItem* next;
    PluginPanelItem* end;
};
int fillBrowseItem(const WIN32_FIND_DATAA* entry, const char* folder, void* cursor);
