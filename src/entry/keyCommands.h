// The list-mode panel's own keys: unload, a plugin's help, a plugin's own
// configuration, rescan, and clearing the host's plugin cache.
#pragma once
#include "state/panelState.h"

// 1 when the key is one of the panel's commands (whatever its outcome), 0 when
// the host should apply its own meaning. Browse mode handles no key.
int handlePanelKey(PanelState* panel, int key, unsigned controlState);

// The host's current panel item, or nullptr when there is none.
const PluginPanelItem* currentPanelItem(HANDLE handle);
// The catalogue record of the current item, or nullptr when there is none.
CatalogueRecord* currentRecord(PanelState* panel);
