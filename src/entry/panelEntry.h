// The work behind the exports that open, read and close a panel, dispatching
// to list mode (the catalogue) or browse mode (a plugin's folder).
#pragma once
#include "far/farPlugin.h"

// Each takes its export's arguments in the export's calling convention, so
// that the export is a single jump.
HANDLE WINAPI openPanel(int openFrom, int item);
int WINAPI readPanel(HANDLE handle, PluginPanelItem** items, int* count, int opMode);
void WINAPI freePanelItems(HANDLE handle, PluginPanelItem* items, int count);
int WINAPI panelKey(HANDLE handle, int key, unsigned int controlState);
int WINAPI dropOnPanel(HANDLE handle, PluginPanelItem* items, int count, int move, int opMode);
