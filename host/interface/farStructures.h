// The structures of the plugin interface 1.70 as the host lays them out:
// every one it hands to plugins or reads from them, at the released host's
// full size, every field's offset pinned.
#pragma once

#include <windows.h>
#include <stddef.h>

namespace farhost {
inline namespace api {

#pragma pack(push, 1)

// The find data items carry: WIN32_FIND_DATAA packed, without the tail
// padding of the Windows declaration.
struct FarFindData {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};
static_assert(sizeof(FarFindData) == 318, "find record");
static_assert(offsetof(FarFindData, dwFileAttributes) == 0, "find record");
static_assert(offsetof(FarFindData, ftCreationTime) == 4, "find record");
static_assert(offsetof(FarFindData, ftLastAccessTime) == 12, "find record");
static_assert(offsetof(FarFindData, ftLastWriteTime) == 20, "find record");
static_assert(offsetof(FarFindData, nFileSizeHigh) == 28, "find record");
static_assert(offsetof(FarFindData, nFileSizeLow) == 32, "find record");
static_assert(offsetof(FarFindData, dwReserved0) == 36, "find record");
static_assert(offsetof(FarFindData, dwReserved1) == 40, "find record");
static_assert(offsetof(FarFindData, cFileName) == 44, "find record");
static_assert(offsetof(FarFindData, cAlternateFileName) == 304, "find record");

struct PluginPanelItem {
    FarFindData FindData;
    DWORD PackSizeHigh;
    DWORD PackSize;
    DWORD Flags;
    DWORD NumberOfLinks;
    char* Description;
    char* Owner;
    char** CustomColumnData;
    int CustomColumnNumber;
    DWORD UserData;
    DWORD CRC32;
    DWORD Reserved[2];
};
static_assert(sizeof(PluginPanelItem) == 366, "panel item");
static_assert(offsetof(PluginPanelItem, FindData) == 0, "panel item");
static_assert(offsetof(PluginPanelItem, PackSizeHigh) == 318, "panel item");
static_assert(offsetof(PluginPanelItem, PackSize) == 322, "panel item");
static_assert(offsetof(PluginPanelItem, Flags) == 326, "panel item");
static_assert(offsetof(PluginPanelItem, NumberOfLinks) == 330, "panel item");
static_assert(offsetof(PluginPanelItem, Description) == 334, "panel item");
static_assert(offsetof(PluginPanelItem, Owner) == 338, "panel item");
static_assert(offsetof(PluginPanelItem, CustomColumnData) == 342, "panel item");
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == 346, "panel item");
static_assert(offsetof(PluginPanelItem, UserData) == 350, "panel item");
static_assert(offsetof(PluginPanelItem, CRC32) == 354, "panel item");
static_assert(offsetof(PluginPanelItem, Reserved) == 358, "panel item");

#pragma pack(pop)

// ---- Dialogs and menus -----------------------------------------------------

struct FarDialogItem {
    int Type;
    int X1, Y1, X2, Y2;
    int Focus;
    union {
        int Selected;
        const char* History;
        const char* Mask;
        void* ListItems;
    };
    DWORD Flags;
    int DefaultButton;
    char Data[512];
};
static_assert(sizeof(FarDialogItem) == 548, "dialog item");
static_assert(offsetof(FarDialogItem, Type) == 0, "dialog item");
static_assert(offsetof(FarDialogItem, X1) == 4, "dialog item");
static_assert(offsetof(FarDialogItem, Y1) == 8, "dialog item");
static_assert(offsetof(FarDialogItem, X2) == 12, "dialog item");
static_assert(offsetof(FarDialogItem, Y2) == 16, "dialog item");
static_assert(offsetof(FarDialogItem, Focus) == 20, "dialog item");
static_assert(offsetof(FarDialogItem, Selected) == 24, "dialog item");
static_assert(offsetof(FarDialogItem, Mask) == 24, "dialog item");
static_assert(offsetof(FarDialogItem, Flags) == 28, "dialog item");
static_assert(offsetof(FarDialogItem, DefaultButton) == 32, "dialog item");
static_assert(offsetof(FarDialogItem, Data) == 36, "dialog item");

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

// ---- Panels ------------------------------------------------------------------

struct PanelMode {
    const char* ColumnTypes;
    const char* ColumnWidths;
    const char** ColumnTitles;
    int FullScreen;
    int DetailedStatus;
    int AlignExtensions;
    int CaseConversion;
    const char* StatusColumnTypes;
    const char* StatusColumnWidths;
    DWORD Reserved[2];
};
static_assert(sizeof(PanelMode) == 44, "panel mode");
static_assert(offsetof(PanelMode, ColumnWidths) == 4, "panel mode");
static_assert(offsetof(PanelMode, ColumnTitles) == 8, "panel mode");
static_assert(offsetof(PanelMode, FullScreen) == 12, "panel mode");
static_assert(offsetof(PanelMode, DetailedStatus) == 16, "panel mode");
static_assert(offsetof(PanelMode, AlignExtensions) == 20, "panel mode");
static_assert(offsetof(PanelMode, CaseConversion) == 24, "panel mode");
static_assert(offsetof(PanelMode, StatusColumnTypes) == 28, "panel mode");
static_assert(offsetof(PanelMode, StatusColumnWidths) == 32, "panel mode");
static_assert(offsetof(PanelMode, Reserved) == 36, "panel mode");

struct KeyBarTitles {
    char* Titles[12];
    char* CtrlTitles[12];
    char* AltTitles[12];
    char* ShiftTitles[12];
    char* CtrlShiftTitles[12];
    char* AltShiftTitles[12];
    char* CtrlAltTitles[12];
};
static_assert(sizeof(KeyBarTitles) == 336, "key bar");
static_assert(offsetof(KeyBarTitles, CtrlTitles) == 48, "key bar");
static_assert(offsetof(KeyBarTitles, AltTitles) == 96, "key bar");
static_assert(offsetof(KeyBarTitles, ShiftTitles) == 144, "key bar");
static_assert(offsetof(KeyBarTitles, CtrlShiftTitles) == 192, "key bar");
static_assert(offsetof(KeyBarTitles, AltShiftTitles) == 240, "key bar");
static_assert(offsetof(KeyBarTitles, CtrlAltTitles) == 288, "key bar");

struct InfoPanelLine {
    char Text[80];
    char Data[80];
    int Separator;
};
static_assert(sizeof(InfoPanelLine) == 164, "info line");

struct OpenPluginInfo {
    int StructSize;
    DWORD Flags;
    const char* HostFile;
    const char* CurDir;
    const char* Format;
    const char* PanelTitle;
    const InfoPanelLine* InfoLines;
    int InfoLinesNumber;
    const char* const* DescrFiles;
    int DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int PanelModesNumber;
    int StartPanelMode;
    int StartSortMode;
    int StartSortOrder;
    const KeyBarTitles* KeyBar;
    const char* ShortcutData;
    long Reserved;
};
static_assert(sizeof(OpenPluginInfo) == 72, "open plugin info");
static_assert(offsetof(OpenPluginInfo, Flags) == 4, "open plugin info");
static_assert(offsetof(OpenPluginInfo, HostFile) == 8, "open plugin info");
static_assert(offsetof(OpenPluginInfo, CurDir) == 12, "open plugin info");
static_assert(offsetof(OpenPluginInfo, Format) == 16, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelTitle) == 20, "open plugin info");
static_assert(offsetof(OpenPluginInfo, InfoLines) == 24, "open plugin info");
static_assert(offsetof(OpenPluginInfo, InfoLinesNumber) == 28, "open plugin info");
static_assert(offsetof(OpenPluginInfo, DescrFiles) == 32, "open plugin info");
static_assert(offsetof(OpenPluginInfo, DescrFilesNumber) == 36, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == 40, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelModesNumber) == 44, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == 48, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartSortMode) == 52, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartSortOrder) == 56, "open plugin info");
static_assert(offsetof(OpenPluginInfo, KeyBar) == 60, "open plugin info");
static_assert(offsetof(OpenPluginInfo, ShortcutData) == 64, "open plugin info");
static_assert(offsetof(OpenPluginInfo, Reserved) == 68, "open plugin info");

struct PluginInfo {
    int StructSize;
    DWORD Flags;
    const char* const* DiskMenuStrings;
    int* DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char* const* PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char* const* PluginConfigStrings;
    int PluginConfigStringsNumber;
    const char* CommandPrefix;
    DWORD Reserved;
};
static_assert(sizeof(PluginInfo) == 44, "plugin info");
static_assert(offsetof(PluginInfo, Flags) == 4, "plugin info");
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "plugin info");
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == 12, "plugin info");
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 16, "plugin info");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 20, "plugin info");
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 24, "plugin info");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 28, "plugin info");
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 32, "plugin info");
static_assert(offsetof(PluginInfo, CommandPrefix) == 36, "plugin info");
static_assert(offsetof(PluginInfo, Reserved) == 40, "plugin info");

// What FCTL_GETPANELINFO writes: the host clears all of it first.
struct PanelInfo {
    int PanelType;
    int Plugin;
    RECT PanelRect;
    PluginPanelItem* PanelItems;
    int ItemsNumber;
    PluginPanelItem* SelectedItems;
    int SelectedItemsNumber;
    int CurrentItem;
    int TopPanelItem;
    int Visible;
    int Focus;
    int ViewMode;
    char ColumnTypes[80];
    char ColumnWidths[80];
    char CurDir[MAX_PATH];
    int ShortNames;
    int SortMode;
    DWORD Flags;
    DWORD Reserved;
};
static_assert(sizeof(PanelInfo) == 496, "panel info");
static_assert(offsetof(PanelInfo, PanelType) == 0, "panel info");
static_assert(offsetof(PanelInfo, Plugin) == 4, "panel info");
static_assert(offsetof(PanelInfo, PanelRect) == 8, "panel info");
static_assert(offsetof(PanelInfo, PanelItems) == 24, "panel info");
static_assert(offsetof(PanelInfo, ItemsNumber) == 28, "panel info");
static_assert(offsetof(PanelInfo, SelectedItems) == 32, "panel info");
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 36, "panel info");
static_assert(offsetof(PanelInfo, CurrentItem) == 40, "panel info");
static_assert(offsetof(PanelInfo, TopPanelItem) == 44, "panel info");
static_assert(offsetof(PanelInfo, Visible) == 48, "panel info");
static_assert(offsetof(PanelInfo, Focus) == 52, "panel info");
static_assert(offsetof(PanelInfo, ViewMode) == 56, "panel info");
static_assert(offsetof(PanelInfo, ColumnTypes) == 60, "panel info");
static_assert(offsetof(PanelInfo, ColumnWidths) == 140, "panel info");
static_assert(offsetof(PanelInfo, CurDir) == 220, "panel info");
static_assert(offsetof(PanelInfo, ShortNames) == 480, "panel info");
static_assert(offsetof(PanelInfo, SortMode) == 484, "panel info");
static_assert(offsetof(PanelInfo, Flags) == 488, "panel info");
static_assert(offsetof(PanelInfo, Reserved) == 492, "panel info");

}  // namespace api
}  // namespace farhost
