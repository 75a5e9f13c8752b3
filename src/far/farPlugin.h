// The host's plugin interface, version 1.70, as this plugin sees it: the
// structures it exchanges with the host, the constants it passes or reads and
// the shapes of the host's services. The layouts are the host's binary
// contract; every size and offset we rely on is pinned below so that a slip
// fails the build instead of a user's session.
#pragma once

#include <windows.h>
#include <stddef.h>

#define FARAPI WINAPI

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

// ---- Services ---------------------------------------------------------------

typedef const char*(FARAPI* FARAPIGETMSG)(int PluginNumber, int MsgId);
typedef int(FARAPI* FARAPIMESSAGE)(int PluginNumber, DWORD Flags, const char* HelpTopic,
                                   const char* const* Items, int ItemsNumber, int ButtonsNumber);
typedef int(FARAPI* FARAPIDIALOG)(int PluginNumber, int X1, int Y1, int X2, int Y2,
                                  const char* HelpTopic, FarDialogItem* Item, int ItemsNumber);
typedef int(FARAPI* FARAPICONTROL)(HANDLE hPlugin, int Command, void* Param);
typedef HANDLE(FARAPI* FARAPISAVESCREEN)(int X1, int Y1, int X2, int Y2);
typedef void(FARAPI* FARAPIRESTORESCREEN)(HANDLE hScreen);
typedef BOOL(FARAPI* FARAPISHOWHELP)(const char* ModuleName, const char* Topic, DWORD Flags);
typedef DWORD(FARAPI* FARSTDEXPANDENVIRONMENTSTR)(const char* src, char* dst, size_t size);
typedef char*(FARAPI* FARSTDTRIM)(char* str);

// The standard functions table (228 bytes in the released 1.70). Only the
// two entries this plugin calls are named; the others keep their slots.
struct FarStandardFunctions {
    int StructSize;
    void* Slots4to124[31];
    FARSTDEXPANDENVIRONMENTSTR ExpandEnvironmentStr;
    void* Slots132to136[2];
    FARSTDTRIM Trim;
    void* Slots144to224[21];
};
static_assert(sizeof(FarStandardFunctions) == 228, "standard functions");
static_assert(offsetof(FarStandardFunctions, ExpandEnvironmentStr) == 128, "standard functions");
static_assert(offsetof(FarStandardFunctions, Trim) == 140, "standard functions");

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[MAX_PATH];
    int ModuleNumber;
    const char* RootKey;
    void* Menu;
    FARAPIDIALOG Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
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
    FARAPISHOWHELP ShowHelp;
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
static_assert(offsetof(PluginStartupInfo, Dialog) == 276, "startup info");
static_assert(offsetof(PluginStartupInfo, Message) == 280, "startup info");
static_assert(offsetof(PluginStartupInfo, GetMsg) == 284, "startup info");
static_assert(offsetof(PluginStartupInfo, Control) == 288, "startup info");
static_assert(offsetof(PluginStartupInfo, SaveScreen) == 292, "startup info");
static_assert(offsetof(PluginStartupInfo, RestoreScreen) == 296, "startup info");
static_assert(offsetof(PluginStartupInfo, FSF) == 336, "startup info");
static_assert(offsetof(PluginStartupInfo, ShowHelp) == 340, "startup info");

// ---- Plugin exports ---------------------------------------------------------

// Host version 1.70: major in the high byte, minor in the low byte.
constexpr int FAR_MIN_VERSION_170 = 0x0146;

typedef void(WINAPI* PFN_SetStartupInfo)(const PluginStartupInfo*);
typedef int(WINAPI* PFN_GetMinFarVersion)();
typedef void(WINAPI* PFN_GetPluginInfo)(PluginInfo*);
typedef HANDLE(WINAPI* PFN_OpenPlugin)(int OpenFrom, int Item);
typedef void(WINAPI* PFN_ClosePlugin)(HANDLE);
typedef int(WINAPI* PFN_GetFindData)(HANDLE, PluginPanelItem**, int*, int);
typedef void(WINAPI* PFN_FreeFindData)(HANDLE, PluginPanelItem*, int);
typedef void(WINAPI* PFN_GetOpenPluginInfo)(HANDLE, OpenPluginInfo*);
typedef int(WINAPI* PFN_Compare)(HANDLE, const PluginPanelItem*, const PluginPanelItem*, unsigned int);
typedef int(WINAPI* PFN_SetDirectory)(HANDLE, const char*, int);
typedef int(WINAPI* PFN_ProcessKey)(HANDLE, int, unsigned int);
typedef int(WINAPI* PFN_PutFiles)(HANDLE, PluginPanelItem*, int, int, int);
typedef int(WINAPI* PFN_Configure)(int);
// An archive plugin's format module: writes the command line of one command.
typedef BOOL(WINAPI* PFN_GetDefaultCommands)(int TypeNumber, int Command, char* Dest);

// The input box service (the startup information keeps it untyped).
typedef int(FARAPI* FARAPIINPUTBOX)(const char* Title, const char* SubTitle, const char* HistoryName,
                                    const char* SrcText, char* DestText, int DestLength, const char* HelpTopic,
                                    DWORD Flags);
