// The constants of the plugin interface 1.70: flags, commands, modes,
// events and key codes, with the values the released host uses.
#pragma once

#include <windows.h>

namespace farhost {
inline namespace api {

// ---- Dialogs and menus -----------------------------------------------------

enum FarDialogItemType {
    DI_TEXT = 0, DI_VTEXT = 1, DI_SINGLEBOX = 2, DI_DOUBLEBOX = 3, DI_EDIT = 4,
    DI_PSWEDIT = 5, DI_FIXEDIT = 6, DI_BUTTON = 7, DI_CHECKBOX = 8, DI_RADIOBUTTON = 9,
};
enum : DWORD {
    DIF_CENTERGROUP = 0x4000,
    DIF_MASKEDIT = 0x400000,
};

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

// Host version 1.70: major in the high byte, minor in the low byte.
constexpr int kFarVersion170 = 0x0146;

// The key code FAR 1.75 hands plugins for a Delete without the enhanced flag
// (the keypad's Del, and every Delete through a terminal): its KEY_NUMDEL less
// 0x100, Shift/Ctrl/Alt in the control state as for any key. FAR 1.70 hands
// the same key over as VK_DELETE.
constexpr int kNumDelKey175 = 0x109;

}  // namespace api
}  // namespace farhost
