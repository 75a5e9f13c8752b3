// The host's dialog items, version 1.70: the record the host's Dialog
// service reads, and its item types and flags.
#pragma once

#include <windows.h>
#include <stddef.h>

// ---- Dialog items ---------------------------------------------------------

enum FarDialogItemType {
    DI_TEXT = 0, DI_VTEXT = 1, DI_SINGLEBOX = 2, DI_DOUBLEBOX = 3, DI_EDIT = 4,
    DI_PSWEDIT = 5, DI_FIXEDIT = 6, DI_BUTTON = 7, DI_CHECKBOX = 8, DI_RADIOBUTTON = 9,
};
enum : DWORD {
    DIF_BOXCOLOR = 0x200,
    DIF_CENTERGROUP = 0x4000,
    DIF_SEPARATOR = 0x10000,
    DIF_MASKEDIT = 0x400000,
};

struct FarDialogItem {
    int Type;
    int X1, Y1, X2, Y2;
    int Focus;
    union {
        int Selected;
        const char* Mask;
    };
    DWORD Flags;
    int DefaultButton;
    char Data[512];
};
static_assert(sizeof(FarDialogItem) == 548, "dialog item");
static_assert(offsetof(FarDialogItem, Selected) == 24, "dialog item");
static_assert(offsetof(FarDialogItem, Flags) == 28, "dialog item");
static_assert(offsetof(FarDialogItem, DefaultButton) == 32, "dialog item");
static_assert(offsetof(FarDialogItem, Data) == 36, "dialog item");
