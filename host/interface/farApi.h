// The plugin interface 1.70 as the host declares it: every record it hands to
// plugins or reads from them, at the released host's full size, every field's
// offset pinned; the constants and the shapes of the services and exports.
// These are the host's own declarations, kept apart from any plugin's: a
// record a plugin declares too small is the plugin's mistake to be caught,
// not one to be shared.
#pragma once

#include <windows.h>
#include <stddef.h>

namespace farhost {
// The interface's names alone, for code that speaks them without the rest
// of the host (`using namespace farhost::api`).
inline namespace api {

#pragma pack(push, 1)

// The find record items carry: WIN32_FIND_DATAA packed, without the tail
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

enum FarDialogItemType {
    DI_TEXT = 0, DI_VTEXT = 1, DI_SINGLEBOX = 2, DI_DOUBLEBOX = 3, DI_EDIT = 4,
    DI_PSWEDIT = 5, DI_FIXEDIT = 6, DI_BUTTON = 7, DI_CHECKBOX = 8, DI_RADIOBUTTON = 9,
};
enum : DWORD {
    DIF_CENTERGROUP = 0x4000,
    DIF_MASKEDIT = 0x400000,
};

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

enum : DWORD { FMENU_SHOWAMPERSAND = 1, FMENU_WRAPMODE = 2, FMENU_AUTOHIGHLIGHT = 4, FMENU_REVERSEAUTOHIGHLIGHT = 8 };

// ---- Messages, panels, help, keys, events ----------------------------------

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

enum : int {
    FCTL_CLOSEPLUGIN = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_GETANOTHERPANELINFO = 2,
    FCTL_UPDATEPANEL = 3,
    FCTL_UPDATEANOTHERPANEL = 4,
    FCTL_REDRAWPANEL = 5,
    FCTL_REDRAWANOTHERPANEL = 6,
    FCTL_SETANOTHERPANELDIR = 7,
    FCTL_GETCMDLINE = 8,
    FCTL_SETCMDLINE = 9,
    FCTL_SETSELECTION = 10,
    FCTL_SETANOTHERSELECTION = 11,
    FCTL_SETVIEWMODE = 12,
    FCTL_SETANOTHERVIEWMODE = 13,
    FCTL_GETPANELSHORTINFO = 26,
    FCTL_GETANOTHERPANELSHORTINFO = 27,
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

enum : DWORD {
    PPIF_USERDATA = 0x20000000,
    PPIF_SELECTED = 0x40000000,
    PPIF_PROCESSDESCR = 0x80000000,
};

// ProcessKey's control state; PKF_PREPROCESS is added to the key code itself
// when the host offers a key before handling it.
enum : int {
    PKF_CONTROL = 0x1,
    PKF_ALT = 0x2,
    PKF_SHIFT = 0x4,
    PKF_PREPROCESS = 0x80000,
};

// The key the host offers plugins after each key and read, before it waits
// for the next one.
constexpr int kIdleKey = 0x1001;

// ProcessEvent's events.
enum : int { FE_CHANGEVIEWMODE = 0, FE_REDRAW = 1, FE_IDLE = 2, FE_CLOSE = 3, FE_BREAK = 4, FE_COMMAND = 5 };

// PanelInfo::Flags.
enum : DWORD {
    PFLAGS_SHOWHIDDEN = 0x1,
    PFLAGS_HIGHLIGHT = 0x2,
    PFLAGS_REVERSESORTORDER = 0x4,
    PFLAGS_USESORTGROUPS = 0x8,
    PFLAGS_SELECTEDFIRST = 0x10,
    PFLAGS_REALNAMES = 0x20,
};

enum : int { PTYPE_FILEPANEL = 0, PTYPE_TREEPANEL = 1, PTYPE_QVIEWPANEL = 2, PTYPE_INFOPANEL = 3 };

enum : int {
    SM_DEFAULT = 0, SM_UNSORTED = 1, SM_NAME = 2, SM_EXT = 3, SM_MTIME = 4,
    SM_CTIME = 5, SM_ATIME = 6, SM_SIZE = 7, SM_DESCR = 8, SM_OWNER = 9,
    SM_COMPRESSEDSIZE = 10, SM_NUMLINKS = 11,
};

// OpenPlugin's OpenFrom.
enum : int { OPEN_DISKMENU = 0, OPEN_PLUGINSMENU = 1, OPEN_FINDLIST = 2, OPEN_SHORTCUT = 3, OPEN_COMMANDLINE = 4,
             OPEN_EDITOR = 5, OPEN_VIEWER = 6 };

// FarRecursiveSearch flags.
enum : DWORD { FRS_RETUPDIR = 0x1, FRS_RECUR = 0x2 };
// ProcessName flags.
enum : DWORD { PN_CMPNAME = 0, PN_CMPNAMELIST = 1, PN_GENERATENAME = 2, PN_SKIPPATH = 0x100 };

// AdvControl commands the host answers.
enum : int {
    ACTL_GETFARVERSION = 0, ACTL_CONSOLEMODE = 1, ACTL_GETSYSWORDDIV = 2, ACTL_WAITKEY = 3, ACTL_GETCOLOR = 4,
    ACTL_GETARRAYCOLOR = 5, ACTL_EJECTMEDIA = 6, ACTL_KEYMACRO = 7, ACTL_POSTKEYSEQUENCE = 8,
    ACTL_GETWINDOWINFO = 9, ACTL_GETWINDOWCOUNT = 10, ACTL_SETCURRENTWINDOW = 11, ACTL_COMMIT = 12,
    ACTL_GETFARHWND = 13, ACTL_GETSYSTEMSETTINGS = 14, ACTL_GETPANELSETTINGS = 15,
    ACTL_GETINTERFACESETTINGS = 16, ACTL_GETCONFIRMATIONS = 17, ACTL_GETDESCSETTINGS = 18,
};

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

// ---- Services ------------------------------------------------------------------

typedef const char*(WINAPI* FarGetMsgFunction)(int pluginNumber, int msgId);
typedef int(WINAPI* FarMessageFunction)(int pluginNumber, DWORD flags, const char* helpTopic,
                                        const char* const* items, int itemsNumber, int buttonsNumber);
typedef int(WINAPI* FarDialogFunction)(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                                       FarDialogItem* items, int itemsNumber);
typedef int(WINAPI* FarControlFunction)(HANDLE plugin, int command, void* param);
typedef HANDLE(WINAPI* FarSaveScreenFunction)(int x1, int y1, int x2, int y2);
typedef void(WINAPI* FarRestoreScreenFunction)(HANDLE screen);
typedef BOOL(WINAPI* FarShowHelpFunction)(const char* moduleName, const char* topic, DWORD flags);
typedef int(WINAPI* FarMenuFunction)(int pluginNumber, int x, int y, int maxHeight, DWORD flags, const char* title,
                                     const char* bottom, const char* helpTopic, const int* breakKeys, int* breakCode,
                                     const FarMenuItem* items, int itemsNumber);
typedef int(WINAPI* FarGetDirListFunction)(const char* dir, PluginPanelItem** items, int* count);
typedef int(WINAPI* FarGetPluginDirListFunction)(int pluginNumber, HANDLE plugin, const char* dir,
                                                 PluginPanelItem** items, int* count);
typedef void(WINAPI* FarFreeDirListFunction)(const PluginPanelItem* items);

typedef int(__cdecl* SortCompare)(const void*, const void*);
typedef int(__cdecl* SortCompareEx)(const void*, const void*, void*);
typedef int(WINAPI* RecursiveSearchFunction)(const WIN32_FIND_DATAA* data, const char* fullName, void* param);

// The standard functions, 228 bytes in the released 1.70.
struct FarStandardFunctions {
    int StructSize;
    int(WINAPI* atoi)(const char* s);
    __int64(WINAPI* atoi64)(const char* s);
    char*(WINAPI* itoa)(int value, char* string, int radix);
    char*(WINAPI* itoa64)(__int64 value, char* string, int radix);
    int(__cdecl* sprintf)(char* buffer, const char* format, ...);
    int(__cdecl* sscanf)(const char* s, const char* format, ...);
    void(WINAPI* qsort)(void* base, size_t count, size_t width, SortCompare compare);
    void*(WINAPI* bsearch)(const void* key, const void* base, size_t count, size_t width, SortCompare compare);
    void(WINAPI* qsortex)(void* base, size_t count, size_t width, SortCompareEx compare, void* param);
    DWORD Reserved[9];
    int(WINAPI* LIsLower)(unsigned c);
    int(WINAPI* LIsUpper)(unsigned c);
    int(WINAPI* LIsAlpha)(unsigned c);
    int(WINAPI* LIsAlphanum)(unsigned c);
    unsigned(WINAPI* LUpper)(unsigned c);
    unsigned(WINAPI* LLower)(unsigned c);
    void(WINAPI* LUpperBuf)(char* buffer, int length);
    void(WINAPI* LLowerBuf)(char* buffer, int length);
    void(WINAPI* LStrupr)(char* s);
    void(WINAPI* LStrlwr)(char* s);
    int(WINAPI* LStricmp)(const char* a, const char* b);
    int(WINAPI* LStrnicmp)(const char* a, const char* b, int n);
    void(WINAPI* Unquote)(char* s);
    DWORD(WINAPI* ExpandEnvironmentStr)(const char* src, char* dst, size_t size);
    char*(WINAPI* LTrim)(char* s);
    char*(WINAPI* RTrim)(char* s);
    char*(WINAPI* Trim)(char* s);
    char*(WINAPI* TruncStr)(char* s, int maxLength);
    char*(WINAPI* TruncPathStr)(char* s, int maxLength);
    char*(WINAPI* QuoteSpaceOnly)(char* s);
    char*(WINAPI* PointToName)(char* path);
    void(WINAPI* GetPathRoot)(const char* path, char* root);
    BOOL(WINAPI* AddEndSlash)(char* path);
    int(WINAPI* CopyToClipboard)(const char* data);
    char*(WINAPI* PasteFromClipboard)();
    BOOL(WINAPI* FarKeyToName)(int key, char* text, int size);
    int(WINAPI* FarNameToKey)(const char* name);
    int(WINAPI* FarInputRecordToKey)(const INPUT_RECORD* record);
    char*(WINAPI* XLat)(char* line, int start, int end, const void* tableSet, DWORD flags);
    BOOL(WINAPI* GetFileOwner)(const char* computer, const char* name, char* owner);
    int(WINAPI* GetNumberOfLinks)(const char* name);
    void(WINAPI* FarRecursiveSearch)(const char* dir, const char* mask, RecursiveSearchFunction fn, DWORD flags,
                                     void* param);
    char*(WINAPI* MkTemp)(char* dest, const char* prefix);
    void(WINAPI* DeleteBuffer)(char* buffer);
    int(WINAPI* ProcessName)(const char* mask, char* name, DWORD flags);
    // Three more entries in the released 1.70 that no emulated plugin calls.
    void* Extra1;
    void* Extra2;
    void* Extra3;
};
static_assert(sizeof(FarStandardFunctions) == 228, "standard functions");
static_assert(offsetof(FarStandardFunctions, atoi) == 4, "standard functions");
static_assert(offsetof(FarStandardFunctions, qsortex) == 36, "standard functions");
static_assert(offsetof(FarStandardFunctions, Reserved) == 40, "standard functions");
static_assert(offsetof(FarStandardFunctions, LIsLower) == 76, "standard functions");
static_assert(offsetof(FarStandardFunctions, LStrnicmp) == 120, "standard functions");
static_assert(offsetof(FarStandardFunctions, Unquote) == 124, "standard functions");
static_assert(offsetof(FarStandardFunctions, ExpandEnvironmentStr) == 128, "standard functions");
static_assert(offsetof(FarStandardFunctions, LTrim) == 132, "standard functions");
static_assert(offsetof(FarStandardFunctions, RTrim) == 136, "standard functions");
static_assert(offsetof(FarStandardFunctions, Trim) == 140, "standard functions");
static_assert(offsetof(FarStandardFunctions, PointToName) == 156, "standard functions");
static_assert(offsetof(FarStandardFunctions, PasteFromClipboard) == 172, "standard functions");
static_assert(offsetof(FarStandardFunctions, GetNumberOfLinks) == 196, "standard functions");
static_assert(offsetof(FarStandardFunctions, ProcessName) == 212, "standard functions");
static_assert(offsetof(FarStandardFunctions, Extra1) == 216, "standard functions");
static_assert(offsetof(FarStandardFunctions, Extra3) == 224, "standard functions");
// The name the services' own code uses for the table it fills.
using StandardFunctionsTable = FarStandardFunctions;

// The startup information, 372 bytes. The services this host does not type
// more closely stay plain slots.
struct PluginStartupInfo {
    int StructSize;
    char ModuleName[MAX_PATH];
    int ModuleNumber;
    const char* RootKey;
    void* Menu;
    FarDialogFunction Dialog;
    FarMessageFunction Message;
    FarGetMsgFunction GetMsg;
    FarControlFunction Control;
    FarSaveScreenFunction SaveScreen;
    FarRestoreScreenFunction RestoreScreen;
    void* GetDirList;
    void* GetPluginDirList;
    void* FreeDirList;
    void* Viewer;
    void* Editor;
    void* CmpName;
    void* CharTable;
    void* Text;
    void* EditorControl;
    FarStandardFunctions* FSF;
    FarShowHelpFunction ShowHelp;
    void* AdvControl;
    void* InputBox;
    void* DialogEx;
    void* SendDlgMessage;
    void* DefDlgProc;
    DWORD Reserved;
    void* ViewerControl;
};
static_assert(sizeof(PluginStartupInfo) == 372, "startup info");
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4, "startup info");
static_assert(offsetof(PluginStartupInfo, ModuleNumber) == 264, "startup info");
static_assert(offsetof(PluginStartupInfo, RootKey) == 268, "startup info");
static_assert(offsetof(PluginStartupInfo, Menu) == 272, "startup info");
static_assert(offsetof(PluginStartupInfo, Dialog) == 276, "startup info");
static_assert(offsetof(PluginStartupInfo, Message) == 280, "startup info");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 284, "startup info");
static_assert(offsetof(PluginStartupInfo, Control) == 288, "startup info");
static_assert(offsetof(PluginStartupInfo, SaveScreen) == 292, "startup info");
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 296, "startup info");
static_assert(offsetof(PluginStartupInfo, GetDirList) == 300, "startup info");
static_assert(offsetof(PluginStartupInfo, GetPluginDirList) == 304, "startup info");
static_assert(offsetof(PluginStartupInfo, FreeDirList) == 308, "startup info");
static_assert(offsetof(PluginStartupInfo, Viewer) == 312, "startup info");
static_assert(offsetof(PluginStartupInfo, Editor) == 316, "startup info");
static_assert(offsetof(PluginStartupInfo, CmpName) == 320, "startup info");
static_assert(offsetof(PluginStartupInfo, CharTable) == 324, "startup info");
static_assert(offsetof(PluginStartupInfo, Text) == 328, "startup info");
static_assert(offsetof(PluginStartupInfo, EditorControl) == 332, "startup info");
static_assert(offsetof(PluginStartupInfo, FSF) == 336, "startup info");
static_assert(offsetof(PluginStartupInfo, ShowHelp) == 340, "startup info");
static_assert(offsetof(PluginStartupInfo, AdvControl) == 344, "startup info");
static_assert(offsetof(PluginStartupInfo, InputBox) == 348, "startup info");
static_assert(offsetof(PluginStartupInfo, DialogEx) == 352, "startup info");
static_assert(offsetof(PluginStartupInfo, SendDlgMessage) == 356, "startup info");
static_assert(offsetof(PluginStartupInfo, DefDlgProc) == 360, "startup info");
static_assert(offsetof(PluginStartupInfo, Reserved) == 364, "startup info");
static_assert(offsetof(PluginStartupInfo, ViewerControl) == 368, "startup info");

// ---- The plugin's exports ------------------------------------------------------

// Host version 1.70: major in the high byte, minor in the low byte.
constexpr int kFarVersion170 = 0x0146;

// The key code FAR 1.75 hands plugins for a Delete without the enhanced flag
// (the keypad's Del, and every Delete through a terminal): its KEY_NUMDEL less
// 0x100, Shift/Ctrl/Alt in the control state as for any key. FAR 1.70 hands
// the same key over as VK_DELETE.
constexpr int kNumDelKey175 = 0x109;

typedef void(WINAPI* PFN_SetStartupInfo)(const PluginStartupInfo*);
typedef int(WINAPI* PFN_GetMinFarVersion)();
typedef void(WINAPI* PFN_GetPluginInfo)(PluginInfo*);
typedef HANDLE(WINAPI* PFN_OpenPlugin)(int openFrom, int item);
typedef void(WINAPI* PFN_ClosePlugin)(HANDLE);
typedef int(WINAPI* PFN_GetFindData)(HANDLE, PluginPanelItem**, int*, int);
typedef void(WINAPI* PFN_FreeFindData)(HANDLE, PluginPanelItem*, int);
typedef void(WINAPI* PFN_GetOpenPluginInfo)(HANDLE, OpenPluginInfo*);
typedef int(WINAPI* PFN_Compare)(HANDLE, const PluginPanelItem*, const PluginPanelItem*, unsigned int);
typedef int(WINAPI* PFN_SetDirectory)(HANDLE, const char*, int);
typedef int(WINAPI* PFN_ProcessKey)(HANDLE, int key, unsigned int controlState);
typedef int(WINAPI* PFN_ProcessEvent)(HANDLE, int event, void* param);
typedef int(WINAPI* PFN_PutFiles)(HANDLE, PluginPanelItem*, int, int, int);
typedef int(WINAPI* PFN_Configure)(int);
typedef void(WINAPI* PFN_ExitFAR)();
typedef HANDLE(WINAPI* PFN_OpenFilePlugin)(char* name, const unsigned char* data, int dataSize);
typedef int(WINAPI* PFN_ProcessEditorEvent)(int event, void* param);
typedef int(WINAPI* PFN_ProcessEditorInput)(const INPUT_RECORD* input);
typedef int(WINAPI* PFN_ProcessViewerEvent)(int event, void* param);

}  // namespace api
}  // namespace farhost
