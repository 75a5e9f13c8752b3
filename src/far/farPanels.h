// The records a plugin and the host exchange about panels, messages and help,
// version 1.70: panel items, the panel's and the plugin's information, and
// the constants passed with them. The layouts are the host's binary
// contract; every size and offset we rely on is pinned below.
#pragma once

#include <windows.h>
#include <stddef.h>

#ifndef FARAPI
#define FARAPI WINAPI
#endif

#pragma pack(push, 1)

// The 8-bit find record as the host embeds it in a panel item: WIN32_FIND_DATAA
// without the tail padding the compiler adds to the Windows declaration.
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
static_assert(offsetof(FarFindData, ftCreationTime) == 4, "find record");
static_assert(offsetof(FarFindData, ftLastAccessTime) == 12, "find record");
static_assert(offsetof(FarFindData, ftLastWriteTime) == 20, "find record");
static_assert(offsetof(FarFindData, nFileSizeHigh) == 28, "find record");
static_assert(offsetof(FarFindData, nFileSizeLow) == 32, "find record");
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

// ---- Messages, panels, help ------------------------------------------------

enum : DWORD {
    FMSG_WARNING = 0x1,
    FMSG_ERRORTYPE = 0x2,
    FMSG_KEEPBACKGROUND = 0x4,
    FMSG_DOWN = 0x8,
    FMSG_LEFTALIGN = 0x10,
    FMSG_ALLINONE = 0x20,
    FMSG_MB_OK = 0x10000,
    FMSG_MB_OKCANCEL = 0x20000,
    FMSG_MB_ABORTRETRYIGNORE = 0x30000,
    FMSG_MB_YESNO = 0x40000,
    FMSG_MB_YESNOCANCEL = 0x50000,
    FMSG_MB_RETRYCANCEL = 0x60000,
    FMSG_MB_MASK = 0x70000,
};

enum {
    FCTL_CLOSEPLUGIN = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_GETANOTHERPANELINFO = 2,
    FCTL_UPDATEPANEL = 3,
    FCTL_UPDATEANOTHERPANEL = 4,
    FCTL_REDRAWPANEL = 5,
    FCTL_REDRAWANOTHERPANEL = 6,
    FCTL_SETVIEWMODE = 12,
    // The panel's state without its items: cheap enough to ask while the
    // host sorts.
    FCTL_GETPANELSHORTINFO = 26,
};

// PanelInfo::Flags.
enum : DWORD {
    PFLAGS_REVERSESORTORDER = 0x4,
};

enum : DWORD {
    FHELP_SELFHELP = 0,
    FHELP_FARHELP = 1,
    FHELP_CUSTOMFILE = 2,
    FHELP_CUSTOMPATH = 4,
    FHELP_USECONTENTS = 0x40000000,
    FHELP_NOSHOWERROR = 0x80000000,
};

enum : int {
    OPM_SILENT = 0x1,
    OPM_FIND = 0x2,
    OPM_VIEW = 0x4,
    OPM_EDIT = 0x8,
    OPM_TOPLEVEL = 0x10,
    OPM_DESCR = 0x20,
};

enum : DWORD {
    OPIF_USEFILTER = 0x1,
    OPIF_USESORTGROUPS = 0x2,
    OPIF_USEHIGHLIGHTING = 0x4,
    OPIF_ADDDOTS = 0x8,
    OPIF_RAWSELECTION = 0x10,
    OPIF_REALNAMES = 0x20,
    OPIF_SHOWNAMESONLY = 0x40,
    OPIF_SHOWRIGHTALIGNNAMES = 0x80,
    OPIF_SHOWPRESERVECASE = 0x100,
    OPIF_FINDFOLDERS = 0x200,
    OPIF_COMPAREFATTIME = 0x400,
    OPIF_EXTERNALGET = 0x800,
    OPIF_EXTERNALPUT = 0x1000,
    OPIF_EXTERNALDELETE = 0x2000,
    OPIF_EXTERNALMKDIR = 0x4000,
    OPIF_USEATTRHIGHLIGHTING = 0x8000,
};

// PluginPanelItem::Flags
enum : DWORD {
    PPIF_USERDATA = 0x20000000,
    PPIF_SELECTED = 0x40000000,
    PPIF_PROCESSDESCR = 0x80000000,
};

enum : int {
    PKF_CONTROL = 0x1,
    PKF_ALT = 0x2,
    PKF_SHIFT = 0x4,
};

enum : int {
    SM_DEFAULT = 0, SM_UNSORTED = 1, SM_NAME = 2, SM_EXT = 3, SM_MTIME = 4,
    SM_CTIME = 5, SM_ATIME = 6, SM_SIZE = 7, SM_DESCR = 8, SM_OWNER = 9,
    SM_COMPRESSEDSIZE = 10, SM_NUMLINKS = 11,
};

// Virtual key codes as the host passes them to ProcessKey (the Windows ones).
enum : int {
    FARKEY_F1 = VK_F1, FARKEY_F3 = VK_F3, FARKEY_F4 = VK_F4, FARKEY_F5 = VK_F5,
    FARKEY_F7 = VK_F7, FARKEY_F8 = VK_F8,
};

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

struct KeyBarTitles {
    char* Titles[12];
    char* CtrlTitles[12];
    char* AltTitles[12];
    char* ShiftTitles[12];
    char* CtrlShiftTitles[12];
    char* AltShiftTitles[12];
    char* CtrlAltTitles[12];
};
static_assert(sizeof(KeyBarTitles) == 7 * 12 * 4, "key bar");

struct InfoPanelLine;

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
static_assert(offsetof(OpenPluginInfo, CurDir) == 12, "open plugin info");
static_assert(offsetof(OpenPluginInfo, Format) == 16, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelTitle) == 20, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelModesArray) == 40, "open plugin info");
static_assert(offsetof(OpenPluginInfo, PanelModesNumber) == 44, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartPanelMode) == 48, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartSortMode) == 52, "open plugin info");
static_assert(offsetof(OpenPluginInfo, StartSortOrder) == 56, "open plugin info");
static_assert(offsetof(OpenPluginInfo, KeyBar) == 60, "open plugin info");

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
static_assert(offsetof(PluginInfo, DiskMenuStrings) == 8, "plugin info");
static_assert(offsetof(PluginInfo, DiskMenuNumbers) == 12, "plugin info");
static_assert(offsetof(PluginInfo, DiskMenuStringsNumber) == 16, "plugin info");
static_assert(offsetof(PluginInfo, PluginMenuStrings) == 20, "plugin info");
static_assert(offsetof(PluginInfo, PluginMenuStringsNumber) == 24, "plugin info");
static_assert(offsetof(PluginInfo, PluginConfigStrings) == 28, "plugin info");
static_assert(offsetof(PluginInfo, PluginConfigStringsNumber) == 32, "plugin info");
static_assert(offsetof(PluginInfo, CommandPrefix) == 36, "plugin info");

// The optional parameter of FCTL_REDRAWPANEL: where the cursor and the top
// of the list go.
struct PanelRedrawInfo {
    int CurrentItem;
    int TopPanelItem;
};
static_assert(sizeof(PanelRedrawInfo) == 8, "panel redraw info");

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
// The host clears and fills the whole record: a smaller one on the caller's
// stack is overrun.
static_assert(sizeof(PanelInfo) == 496, "panel info");
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
