// FAR's own file keys that would act on the plugin folders the list shows.
// The list's items are real folders (the panel has real names), so FAR would
// change attributes, rename, link or wipe the plugins themselves; the list
// refuses each of them with a hint of its own. In a plugin's folder FAR's own
// commands work, on that folder.
#pragma once
#include "state/panelState.h"

// The hint (a message id) for a key the list refuses, or -1 for any other key.
int refusedKeyHint(int key, unsigned controlState);

// The box that tells the user the key does nothing in the list and where it works.
void showRefusedKeyHint(int hint);

// Browse mode: FAR resolves names typed into its own commands (Shift+F4's
// new file, Alt+F6's link, Shift+F5/Shift+F6's target, Ctrl+G's command)
// against the process's current folder, which it never sets for a plugin's
// panel: the browsed folder is made current before FAR acts on the key.
void followBrowsedFolder(const PanelState* panel);
