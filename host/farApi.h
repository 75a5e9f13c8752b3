// The rest of the plugin interface 1.70 the host fills in: the full table of
// standard functions and the shapes of the services the plugin's own
// declarations leave as plain slots. Pinned against those declarations, so
// that both describe the same bytes.
#pragma once

#include "far/farPlugin.h"

#include <stddef.h>

namespace farhost {

typedef int(__cdecl* SortCompare)(const void*, const void*);
typedef int(__cdecl* SortCompareEx)(const void*, const void*, void*);
typedef int(WINAPI* RecursiveSearchFunction)(const WIN32_FIND_DATAA* data, const char* fullName, void* param);

struct StandardFunctionsTable {
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
    FARSTDEXPANDENVIRONMENTSTR ExpandEnvironmentStr;
    char*(WINAPI* LTrim)(char* s);
    char*(WINAPI* RTrim)(char* s);
    FARSTDTRIM Trim;
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
    void* Tail[3];
};
static_assert(sizeof(StandardFunctionsTable) == sizeof(FarStandardFunctions), "standard functions");
static_assert(offsetof(StandardFunctionsTable, LIsLower) == 76, "standard functions");
static_assert(offsetof(StandardFunctionsTable, ExpandEnvironmentStr) ==
                  offsetof(FarStandardFunctions, ExpandEnvironmentStr), "standard functions");
static_assert(offsetof(StandardFunctionsTable, Trim) == offsetof(FarStandardFunctions, Trim), "standard functions");
static_assert(offsetof(StandardFunctionsTable, PointToName) == 156, "standard functions");
static_assert(offsetof(StandardFunctionsTable, ProcessName) == 212, "standard functions");

// FarRecursiveSearch flags.
enum : DWORD { FRS_RETUPDIR = 0x1, FRS_RECUR = 0x2 };
// ProcessName flags.
enum : DWORD { PN_CMPNAME = 0, PN_CMPNAMELIST = 1, PN_GENERATENAME = 2, PN_SKIPPATH = 0x100 };

struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};
static_assert(sizeof(FarMenuItem) == 140, "menu item");

enum : DWORD { FMENU_SHOWAMPERSAND = 1, FMENU_WRAPMODE = 2, FMENU_AUTOHIGHLIGHT = 4, FMENU_REVERSEAUTOHIGHLIGHT = 8 };

// OpenPlugin's OpenFrom.
enum : int { OPEN_DISKMENU = 0, OPEN_PLUGINSMENU = 1, OPEN_FINDLIST = 2, OPEN_SHORTCUT = 3, OPEN_COMMANDLINE = 4,
             OPEN_EDITOR = 5, OPEN_VIEWER = 6 };

// AdvControl commands the host answers.
enum : int {
    ACTL_GETFARVERSION = 0, ACTL_CONSOLEMODE = 1, ACTL_GETSYSWORDDIV = 2, ACTL_WAITKEY = 3, ACTL_GETCOLOR = 4,
    ACTL_GETARRAYCOLOR = 5, ACTL_EJECTMEDIA = 6, ACTL_KEYMACRO = 7, ACTL_POSTKEYSEQUENCE = 8,
    ACTL_GETWINDOWINFO = 9, ACTL_GETWINDOWCOUNT = 10, ACTL_SETCURRENTWINDOW = 11, ACTL_COMMIT = 12,
    ACTL_GETFARHWND = 13, ACTL_GETSYSTEMSETTINGS = 14, ACTL_GETPANELSETTINGS = 15,
    ACTL_GETINTERFACESETTINGS = 16, ACTL_GETCONFIRMATIONS = 17, ACTL_GETDESCSETTINGS = 18,
};

// The services of the startup information beyond those the plugin's own
// declarations name.
typedef int(WINAPI* FarMenuFunction)(int pluginNumber, int x, int y, int maxHeight, DWORD flags, const char* title,
                                     const char* bottom, const char* helpTopic, const int* breakKeys, int* breakCode,
                                     const FarMenuItem* items, int itemsNumber);
typedef int(WINAPI* FarGetDirListFunction)(const char* dir, PluginPanelItem** items, int* count);
typedef int(WINAPI* FarGetPluginDirListFunction)(int pluginNumber, HANDLE plugin, const char* dir,
                                                 PluginPanelItem** items, int* count);
typedef void(WINAPI* FarFreeDirListFunction)(const PluginPanelItem* items);

}  // namespace farhost
