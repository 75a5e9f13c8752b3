#include "ui/panelLook.h"

#include "state/panelState.h"
#include "state/pluginState.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

namespace {

// The host reads all of these after the call returns.
const char* sizeAndVersionTitles[4];
const char* versionTitles[2];
// Set while the view mode is being swapped: the host asks GetOpenPluginInfo
// again from inside FCTL_GETPANELINFO.
bool swappingViewMode = false;

PanelMode panelModes[3] = {
    {"NO,P,Z,O", "15,7,0,14", sizeAndVersionTitles, 1, 1, 0, 0, "NO,SC,D", "", {0, 0}},
    {"NO,Z", "13,0", nullptr, 0, 0, 0, 0, "PC,D,O", "13", {0, 0}},
    {"NO,O", "0,15", versionTitles, 0, 0, 0, 0, "Z", "", {0, 0}},
};

KeyBarTitles keyBar;
char emptyLabel[] = "";
const char PANEL_FORMAT[] = "FAR Plugins";

// The list's own keys carry its labels; the host's keys that do nothing in
// the list, or that the list takes to keep the host off plugin folders, are
// blank. The rest keep the host's labels, which still hold (help, menus,
// copying out, sorting, quitting).
void fillKeyBar() {
    memset(&keyBar, 0, sizeof keyBar);
    struct Label {
        char* (KeyBarTitles::*row)[12];
        int key;
        int message;   // -1: blank
    };
    static const Label LABELS[] = {
        {&KeyBarTitles::Titles, 3, MKeyInfo},
        {&KeyBarTitles::Titles, 4, MKeyConfigure},
        {&KeyBarTitles::Titles, 6, -1},
        {&KeyBarTitles::Titles, 7, -1},
        {&KeyBarTitles::Titles, 8, MKeyUninstall},
        {&KeyBarTitles::ShiftTitles, 1, MKeyPluginHelp},
        {&KeyBarTitles::ShiftTitles, 2, -1},
        {&KeyBarTitles::ShiftTitles, 3, -1},
        {&KeyBarTitles::ShiftTitles, 4, -1},
        {&KeyBarTitles::ShiftTitles, 5, MKeyRescan},
        {&KeyBarTitles::ShiftTitles, 6, MKeyReload},
        {&KeyBarTitles::ShiftTitles, 7, MKeyClearCache},
        {&KeyBarTitles::ShiftTitles, 8, MKeyUnload},
        {&KeyBarTitles::AltTitles, 3, -1},
        {&KeyBarTitles::AltTitles, 4, -1},
        {&KeyBarTitles::AltTitles, 5, -1},
        {&KeyBarTitles::AltTitles, 6, -1},
        {&KeyBarTitles::CtrlTitles, 4, MKeySortPath},
        {&KeyBarTitles::CtrlTitles, 11, MKeySortVersion},
    };
    for (const Label& label : LABELS)
        (keyBar.*label.row)[label.key - 1] =
            label.message < 0 ? emptyLabel : const_cast<char*>(msgText(label.message));
}

}  // namespace

void swapViewMode(HANDLE panel, int* saved) {
    PanelInfo info;
    memset(&info, 0, sizeof info);
    if (startupInfo.Control) startupInfo.Control(panel, FCTL_GETPANELINFO, &info);
    if (*saved != -1 && startupInfo.Control) startupInfo.Control(panel, FCTL_SETVIEWMODE, saved);
    *saved = info.ViewMode;
}

extern "C" void WINAPI GetOpenPluginInfo(HANDLE handle, OpenPluginInfo* info) {
    PanelState* panel = findPanelState(handle);
    if (!info || !panel) return;
    lastInfoAsked = handle;
    if (panel->savedViewMode == -1 && !swappingViewMode) {
        swappingViewMode = true;
        swapViewMode(handle, &panel->savedViewMode);
        swappingViewMode = false;
    }
    // Fetched on every call: the host's language may have changed since.
    sizeAndVersionTitles[1] = msgText(MColumnFolderSize);
    sizeAndVersionTitles[3] = msgText(MColumnVersion);
    versionTitles[1] = msgText(MColumnVersion);
    fillKeyBar();

    bool browsing = panel->browseRootLength != 0;
    info->StructSize = sizeof(OpenPluginInfo);
    info->Flags = browsing ? BROWSE_MODE_FLAGS : LIST_MODE_FLAGS;
    info->CurDir = browsing ? panel->currentDir : nullptr;
    info->Format = PANEL_FORMAT;
    info->PanelTitle = browsing ? panel->currentDir : PLUGIN_TITLE;
    info->PanelModesArray = panelModes;
    info->PanelModesNumber = browsing ? 0 : 3;
    info->StartPanelMode = '0' + panel->startViewMode;
    info->StartSortMode = SM_NAME;
    info->StartSortOrder = 0;
    info->KeyBar = browsing ? nullptr : &keyBar;
    setEndSlash(panel->currentDir, 0, sizeof panel->currentDir);
}

extern "C" int WINAPI Compare(HANDLE handle, const PluginPanelItem* item1, const PluginPanelItem* item2,
                              unsigned int mode) {
    PanelState* panel = findPanelState(handle);
    if (mode != SM_EXT || !panel || panel->browseRootLength || !item1 || !item2) return -2;
    int order = lstrcmpA(item1->FindData.cFileName, item2->FindData.cFileName);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
