// The plugin and the host emulator each declare the interface themselves: the
// plugin from its side (src/far/farPlugin.h), the emulator as the host writes
// and reads it (host/interface/farApi.h). Every record both declare must have
// the same size, and every field both name the same offset, so that a slip on
// either side fails here rather than in a user's FAR.
#include "far/farPlugin.h"
#include "interface/farApi.h"

#include <gtest/gtest.h>

#include <stddef.h>

namespace {

struct Layout {
    const char* what;
    size_t plugin;
    size_t host;
};

#define SIZE_OF(record) Layout{#record, sizeof(::record), sizeof(farhost::record)}
#define FIELD(record, field) Layout{#record "." #field, offsetof(::record, field), offsetof(farhost::record, field)}

TEST(InterfaceLayout, EveryRecordAndFieldBothSidesDeclareLiesAtTheSamePlace) {
    const Layout layouts[] = {
        SIZE_OF(FarFindData),
        FIELD(FarFindData, dwFileAttributes), FIELD(FarFindData, ftCreationTime), FIELD(FarFindData, ftLastAccessTime),
        FIELD(FarFindData, ftLastWriteTime), FIELD(FarFindData, nFileSizeHigh), FIELD(FarFindData, nFileSizeLow),
        FIELD(FarFindData, dwReserved0), FIELD(FarFindData, dwReserved1), FIELD(FarFindData, cFileName),
        FIELD(FarFindData, cAlternateFileName),

        SIZE_OF(PluginPanelItem),
        FIELD(PluginPanelItem, FindData), FIELD(PluginPanelItem, PackSizeHigh), FIELD(PluginPanelItem, PackSize),
        FIELD(PluginPanelItem, Flags), FIELD(PluginPanelItem, NumberOfLinks), FIELD(PluginPanelItem, Description),
        FIELD(PluginPanelItem, Owner), FIELD(PluginPanelItem, CustomColumnData),
        FIELD(PluginPanelItem, CustomColumnNumber), FIELD(PluginPanelItem, UserData), FIELD(PluginPanelItem, CRC32),
        FIELD(PluginPanelItem, Reserved),

        SIZE_OF(FarDialogItem),
        FIELD(FarDialogItem, Type), FIELD(FarDialogItem, X1), FIELD(FarDialogItem, Y1), FIELD(FarDialogItem, X2),
        FIELD(FarDialogItem, Y2), FIELD(FarDialogItem, Focus), FIELD(FarDialogItem, Selected),
        FIELD(FarDialogItem, Mask), FIELD(FarDialogItem, Flags), FIELD(FarDialogItem, DefaultButton),
        FIELD(FarDialogItem, Data),

        SIZE_OF(PanelMode),
        FIELD(PanelMode, ColumnTypes), FIELD(PanelMode, ColumnWidths), FIELD(PanelMode, ColumnTitles),
        FIELD(PanelMode, FullScreen), FIELD(PanelMode, DetailedStatus), FIELD(PanelMode, AlignExtensions),
        FIELD(PanelMode, CaseConversion), FIELD(PanelMode, StatusColumnTypes), FIELD(PanelMode, StatusColumnWidths),
        FIELD(PanelMode, Reserved),

        SIZE_OF(KeyBarTitles),
        FIELD(KeyBarTitles, Titles), FIELD(KeyBarTitles, CtrlTitles), FIELD(KeyBarTitles, AltTitles),
        FIELD(KeyBarTitles, ShiftTitles), FIELD(KeyBarTitles, CtrlShiftTitles), FIELD(KeyBarTitles, AltShiftTitles),
        FIELD(KeyBarTitles, CtrlAltTitles),

        SIZE_OF(OpenPluginInfo),
        FIELD(OpenPluginInfo, StructSize), FIELD(OpenPluginInfo, Flags), FIELD(OpenPluginInfo, HostFile),
        FIELD(OpenPluginInfo, CurDir), FIELD(OpenPluginInfo, Format), FIELD(OpenPluginInfo, PanelTitle),
        FIELD(OpenPluginInfo, InfoLines), FIELD(OpenPluginInfo, InfoLinesNumber), FIELD(OpenPluginInfo, DescrFiles),
        FIELD(OpenPluginInfo, DescrFilesNumber), FIELD(OpenPluginInfo, PanelModesArray),
        FIELD(OpenPluginInfo, PanelModesNumber), FIELD(OpenPluginInfo, StartPanelMode),
        FIELD(OpenPluginInfo, StartSortMode), FIELD(OpenPluginInfo, StartSortOrder), FIELD(OpenPluginInfo, KeyBar),
        FIELD(OpenPluginInfo, ShortcutData), FIELD(OpenPluginInfo, Reserved),

        SIZE_OF(PluginInfo),
        FIELD(PluginInfo, StructSize), FIELD(PluginInfo, Flags), FIELD(PluginInfo, DiskMenuStrings),
        FIELD(PluginInfo, DiskMenuNumbers), FIELD(PluginInfo, DiskMenuStringsNumber),
        FIELD(PluginInfo, PluginMenuStrings), FIELD(PluginInfo, PluginMenuStringsNumber),
        FIELD(PluginInfo, PluginConfigStrings), FIELD(PluginInfo, PluginConfigStringsNumber),
        FIELD(PluginInfo, CommandPrefix), FIELD(PluginInfo, Reserved),

        SIZE_OF(PanelInfo),
        FIELD(PanelInfo, PanelType), FIELD(PanelInfo, Plugin), FIELD(PanelInfo, PanelRect),
        FIELD(PanelInfo, PanelItems), FIELD(PanelInfo, ItemsNumber), FIELD(PanelInfo, SelectedItems),
        FIELD(PanelInfo, SelectedItemsNumber), FIELD(PanelInfo, CurrentItem), FIELD(PanelInfo, TopPanelItem),
        FIELD(PanelInfo, Visible), FIELD(PanelInfo, Focus), FIELD(PanelInfo, ViewMode), FIELD(PanelInfo, ColumnTypes),
        FIELD(PanelInfo, ColumnWidths), FIELD(PanelInfo, CurDir), FIELD(PanelInfo, ShortNames),
        FIELD(PanelInfo, SortMode), FIELD(PanelInfo, Flags), FIELD(PanelInfo, Reserved),

        SIZE_OF(FarStandardFunctions),
        FIELD(FarStandardFunctions, StructSize), FIELD(FarStandardFunctions, ExpandEnvironmentStr),
        FIELD(FarStandardFunctions, Trim),

        SIZE_OF(PluginStartupInfo),
        FIELD(PluginStartupInfo, StructSize), FIELD(PluginStartupInfo, ModuleName),
        FIELD(PluginStartupInfo, ModuleNumber), FIELD(PluginStartupInfo, RootKey), FIELD(PluginStartupInfo, Menu),
        FIELD(PluginStartupInfo, Dialog), FIELD(PluginStartupInfo, Message), FIELD(PluginStartupInfo, GetMsg),
        FIELD(PluginStartupInfo, Control), FIELD(PluginStartupInfo, SaveScreen),
        FIELD(PluginStartupInfo, RestoreScreen), FIELD(PluginStartupInfo, GetDirList),
        FIELD(PluginStartupInfo, GetPluginDirList), FIELD(PluginStartupInfo, FreeDirList),
        FIELD(PluginStartupInfo, Viewer), FIELD(PluginStartupInfo, Editor), FIELD(PluginStartupInfo, CmpName),
        FIELD(PluginStartupInfo, CharTable), FIELD(PluginStartupInfo, Text), FIELD(PluginStartupInfo, EditorControl),
        FIELD(PluginStartupInfo, FSF), FIELD(PluginStartupInfo, ShowHelp), FIELD(PluginStartupInfo, AdvControl),
        FIELD(PluginStartupInfo, InputBox), FIELD(PluginStartupInfo, DialogEx),
        FIELD(PluginStartupInfo, SendDlgMessage), FIELD(PluginStartupInfo, DefDlgProc),
        FIELD(PluginStartupInfo, Reserved), FIELD(PluginStartupInfo, ViewerControl),
    };
    for (const Layout& l : layouts) EXPECT_EQ(l.plugin, l.host) << l.what;
}

#undef FIELD
#undef SIZE_OF

struct Constant {
    const char* name;
    long long plugin;
    long long host;
};

#define CONSTANT(name) Constant{#name, static_cast<long long>(::name), static_cast<long long>(farhost::name)}

TEST(InterfaceLayout, EveryConstantBothSidesNameHasTheSameValue) {
    const Constant constants[] = {
        CONSTANT(FCTL_CLOSEPLUGIN), CONSTANT(FCTL_GETPANELINFO), CONSTANT(FCTL_GETANOTHERPANELINFO),
        CONSTANT(FCTL_UPDATEPANEL), CONSTANT(FCTL_UPDATEANOTHERPANEL), CONSTANT(FCTL_REDRAWPANEL),
        CONSTANT(FCTL_REDRAWANOTHERPANEL), CONSTANT(FCTL_SETVIEWMODE), CONSTANT(FCTL_GETPANELSHORTINFO),
        CONSTANT(PFLAGS_REVERSESORTORDER),
        CONSTANT(FMSG_WARNING), CONSTANT(FMSG_ERRORTYPE), CONSTANT(FMSG_KEEPBACKGROUND), CONSTANT(FMSG_DOWN),
        CONSTANT(FMSG_LEFTALIGN), CONSTANT(FMSG_ALLINONE), CONSTANT(FMSG_MB_OK), CONSTANT(FMSG_MB_OKCANCEL),
        CONSTANT(FMSG_MB_ABORTRETRYIGNORE), CONSTANT(FMSG_MB_YESNO), CONSTANT(FMSG_MB_YESNOCANCEL),
        CONSTANT(FMSG_MB_RETRYCANCEL), CONSTANT(FMSG_MB_MASK),
        CONSTANT(FHELP_SELFHELP), CONSTANT(FHELP_FARHELP), CONSTANT(FHELP_CUSTOMFILE), CONSTANT(FHELP_CUSTOMPATH),
        CONSTANT(FHELP_USECONTENTS), CONSTANT(FHELP_NOSHOWERROR),
        CONSTANT(OPM_SILENT), CONSTANT(OPM_FIND), CONSTANT(OPM_VIEW), CONSTANT(OPM_EDIT), CONSTANT(OPM_TOPLEVEL),
        CONSTANT(OPM_DESCR),
        CONSTANT(OPIF_USEFILTER), CONSTANT(OPIF_USESORTGROUPS), CONSTANT(OPIF_USEHIGHLIGHTING),
        CONSTANT(OPIF_ADDDOTS), CONSTANT(OPIF_RAWSELECTION), CONSTANT(OPIF_REALNAMES), CONSTANT(OPIF_SHOWNAMESONLY),
        CONSTANT(OPIF_SHOWRIGHTALIGNNAMES), CONSTANT(OPIF_SHOWPRESERVECASE), CONSTANT(OPIF_FINDFOLDERS),
        CONSTANT(OPIF_COMPAREFATTIME), CONSTANT(OPIF_EXTERNALGET), CONSTANT(OPIF_EXTERNALPUT),
        CONSTANT(OPIF_EXTERNALDELETE), CONSTANT(OPIF_EXTERNALMKDIR), CONSTANT(OPIF_USEATTRHIGHLIGHTING),
        CONSTANT(PPIF_USERDATA), CONSTANT(PPIF_SELECTED), CONSTANT(PPIF_PROCESSDESCR),
        CONSTANT(PKF_CONTROL), CONSTANT(PKF_ALT), CONSTANT(PKF_SHIFT),
        CONSTANT(SM_DEFAULT), CONSTANT(SM_UNSORTED), CONSTANT(SM_NAME), CONSTANT(SM_EXT), CONSTANT(SM_MTIME),
        CONSTANT(SM_CTIME), CONSTANT(SM_ATIME), CONSTANT(SM_SIZE), CONSTANT(SM_DESCR), CONSTANT(SM_OWNER),
        CONSTANT(SM_COMPRESSEDSIZE), CONSTANT(SM_NUMLINKS),
        CONSTANT(DI_TEXT), CONSTANT(DI_VTEXT), CONSTANT(DI_SINGLEBOX), CONSTANT(DI_DOUBLEBOX), CONSTANT(DI_EDIT),
        CONSTANT(DI_PSWEDIT), CONSTANT(DI_FIXEDIT), CONSTANT(DI_BUTTON), CONSTANT(DI_CHECKBOX),
        CONSTANT(DI_RADIOBUTTON), CONSTANT(DIF_CENTERGROUP), CONSTANT(DIF_MASKEDIT),
    };
    for (const Constant& c : constants) EXPECT_EQ(c.plugin, c.host) << c.name;
}

#undef CONSTANT

}  // namespace
