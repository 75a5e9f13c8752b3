// Installing plugins by copying them onto the list-mode panel: a DLL with its
// companions becomes one new plugin folder, dropped folders are copied as
// they are, and archives are unpacked.
#pragma once
#include "state/panelState.h"

#include <stddef.h>

// PutFiles: classifies the dropped items, asks, copies or unpacks them under
// the plugins root, deselects what was installed and tells the user. 1 when
// every installed item succeeded (also when nothing was installed).
int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode);

// Creates one folder; an existing one counts as success. A failure is shown
// with the folder's path.
int createFolder(const char* path);
// The walkFolder visit function that copies one entry below the copy target.
// Called with no entry it sets the target up instead: folder is then the
// source prefix to strip and context the target folder, which it creates.
// Otherwise context, when given, is an int flag that a failed step clears.
int copyEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context);
// Inserts "," between groups of three digits, in place (cap bytes).
void insertThousands(char* digits, size_t cap = 16);
