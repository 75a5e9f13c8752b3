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

// ---- Menus ----------------------------------------------------------------

// An item of the host's Menu service; FMENU_* flags of the call.
struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};
static_assert(sizeof(FarMenuItem) == 140, "menu item");
static_assert(offsetof(FarMenuItem, Selected) == 128, "menu item");
static_assert(offsetof(FarMenuItem, Checked) == 132, "menu item");
static_assert(offsetof(FarMenuItem, Separator) == 136, "menu item");
enum : DWORD { FMENU_SHOWAMPERSAND = 0x1, FMENU_WRAPMODE = 0x2, FMENU_AUTOHIGHLIGHT = 0x4 };
// The chosen item, or -1 for Esc.
typedef int(WINAPI* FARAPIMENU)(int PluginNumber, int X, int Y, int MaxHeight, DWORD Flags, const char* Title,
                                const char* Bottom, const char* HelpTopic, const int* BreakKeys, int* BreakCode,
                                const FarMenuItem* Item, int ItemsNumber);
