// Installing plugins by copying them onto the list-mode panel: a DLL with its
// companions becomes one new plugin folder, dropped folders are copied as
// they are, and archives are unpacked.
#pragma once
#include "state/panelState.h"

// PutFiles: classifies the dropped items, asks, copies or unpacks them under
// the plugins root, deselects what was installed and tells the user what
// happened. 1 only when every dropped item was installed: otherwise the host
// keeps selected what the items' flags say (the rest).
int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode);
