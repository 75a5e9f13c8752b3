// The configuration dialog, described compactly and expanded into the host's
// dialog items just before it is shown.
#pragma once
#include "far/farPlugin.h"

#pragma pack(push, 1)
struct CompactDialogItem {
    unsigned char type;
    unsigned char x1, y1, x2, y2;
    unsigned char focus;
    DWORD selected;        // check state, or for an edit field its mask
    DWORD flags;
    unsigned char defaultButton;
    const char* text;      // a text, or a message id when below 2000
};
#pragma pack(pop)
static_assert(sizeof(CompactDialogItem) == 19, "compact dialog item");

// Configure: shows the settings dialog and stores what the user confirms;
// 1 when stored. In the export's calling convention, so that it is a single jump.
int WINAPI runSettingsDialog(int item);

void expandDialogItems(const CompactDialogItem* compact, FarDialogItem* items, int count);

// Digit value of a one-digit field's first character; anything else is 0.
signed char digitFieldValue(const char* data);
