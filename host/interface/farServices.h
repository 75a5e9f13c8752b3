// The services the host lends every plugin (PluginStartupInfo with its
// function pointers, the standard functions) and the shapes of the plugin's
// exports the host calls, at the released host's sizes.
#pragma once

#include "interface/farStructures.h"

#include <windows.h>
#include <stddef.h>

namespace farhost {
inline namespace api {

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
// FAR 1.75 (and 1.71 from build 2307): every dialog's events, to each plugin in turn.
typedef int(WINAPI* PFN_ProcessDialogEvent)(int event, void* param);

}  // namespace api
}  // namespace farhost
