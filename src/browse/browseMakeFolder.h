// F7 while a plugin's folder is browsed: the folder is made in the browsed
// folder itself (the host would make it in its own current folder, which is
// not the browsed one) and the panel shows it with the cursor on it.
#pragma once
#include "state/panelState.h"

// 1 when the key was handled (whatever the outcome), 0 to leave it to the host.
int makeFolderInBrowsedFolder(PanelState* panel);
