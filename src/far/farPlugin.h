// The host's plugin interface, version 1.70, as this plugin sees it: the
// structures it exchanges with the host, the constants it passes or reads and
// the shapes of the host's services. The layouts are the host's binary
// contract; every size and offset we rely on is pinned beside its
// declaration so that a slip fails the build instead of a user's session.
#pragma once

#include "far/farDialog.h"
#include "far/farPanels.h"

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
