// The list-mode read of the panel: one record and one panel item per plugin DLL.
#pragma once
#include "state/panelState.h"

// Rebuilds the panel's catalogue; 1 with the items handed out, 0 when no
// plugin DLL was found.
int buildCatalogue(PanelState* panel, PluginPanelItem** items, int* count, int opMode);
