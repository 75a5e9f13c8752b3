#include "ui/panelLook.h"

#include "state/panelState.h"
#include "state/pluginState.h"
#include "describe/versionText.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

namespace {

const int VIEW_MODES = 10;
const int MAX_COLUMNS = 8;
// The host reads all of these after the call returns.
const char* columnTitles[VIEW_MODES][MAX_COLUMNS];
// Set while the host is asked about the panel: it asks GetOpenPluginInfo
// again from inside FCTL_GETPANELINFO.
bool askingHost = false;

// The list's view modes, one for each of the host's ten, so that no view
// falls back to the host's own columns: those show "Folder" for the size of
// every plugin and the whole path in the status line. C0 is the load mark,
// P the folder total (the host shows S of a folder as "Folder"), C adds
// thousands separators, O shows names without their path, and the version
// column holds a full 16-character version. Detailed (5) is the one view
// across the whole screen: the description takes what the others leave (22
// characters at 80 columns), and its status line shows the time and the whole
// description rather than attributes, where a loaded plugin's mark would be
// a bare "S".
PanelMode panelModes[VIEW_MODES] = {
    {"C0,NO,PC,Z,O", "1,15,11,0,16", columnTitles[0], 1, 1, 0, 0, "NO,PC,D", "0,11,0", {0, 0}},
    {"C0,NO,Z", "1,13,0", nullptr, 0, 0, 0, 0, "NO,PC,D", "0,11,0", {0, 0}},
    {"C0,NO,O", "1,0,16", nullptr, 0, 0, 0, 0, "NO,Z", "0,0", {0, 0}},
    {"C0,NO,PC,D", "1,0,11,0", nullptr, 0, 0, 0, 0, "NO,Z", "0,0", {0, 0}},
    {"C0,NO,PC", "1,0,11", nullptr, 0, 0, 0, 0, "NO,Z", "0,0", {0, 0}},
    {"C0,NO,PC,D,Z,O", "1,15,11,0,0,16", nullptr, 1, 0, 0, 0, "NO,D,T,Z", "15,0,0,0", {0, 0}},
    {"C0,NO,Z", "1,15,0", nullptr, 0, 0, 0, 0, "NO,PC,O", "0,11,16", {0, 0}},
    {"C0,NO,PC,Z", "1,20,11,0", nullptr, 1, 0, 0, 0, "NO,O", "0,16", {0, 0}},
    {"C0,NO,O", "1,0,16", nullptr, 0, 0, 0, 0, "NO,PC,D", "0,11,0", {0, 0}},
    {"C0,NO,PC", "1,0,11", nullptr, 0, 0, 0, 0, "NO,Z", "0,0", {0, 0}},
};

// Browse mode shows the plugin's files in the host's usual columns. The items
// carry full paths, and with modes of its own a plugin gets no "names only"
// from the host: every name column asks for it (O).
PanelMode browseModes[VIEW_MODES] = {
    {"NO,SC,D", "0,10,0", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,NO,NO", "0,0,0", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,NO", "0,0", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S,D,T", "0,6,0,5", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S", "0,6", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S,P,DM,DC,DA,A", "0,6,6,14,14,14,0", nullptr, 1, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,Z", "12,0", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S,Z", "0,6,54", nullptr, 1, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S,O", "0,6,15", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
    {"NO,S,LN", "0,6,3", nullptr, 0, 0, 0, 0, "NO,SC,D,T", "0,10,0,5", {0, 0}},
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
        {&KeyBarTitles::ShiftTitles, 3, MKeySearch},
        {&KeyBarTitles::ShiftTitles, 4, -1},
        {&KeyBarTitles::ShiftTitles, 5, MKeyRescan},
        {&KeyBarTitles::ShiftTitles, 6, MKeyReload},
        {&KeyBarTitles::ShiftTitles, 7, MKeyClearCache},
        {&KeyBarTitles::ShiftTitles, 8, MKeyUnload},
        {&KeyBarTitles::AltTitles, 3, -1},
        {&KeyBarTitles::AltTitles, 4, -1},
        {&KeyBarTitles::AltTitles, 5, MKeySwitch},
        {&KeyBarTitles::AltTitles, 6, -1},
        {&KeyBarTitles::CtrlTitles, 4, MKeySortPath},
        {&KeyBarTitles::CtrlTitles, 11, MKeySortVersion},
    };
    for (const Label& label : LABELS)
        (keyBar.*label.row)[label.key - 1] =
            label.message < 0 ? emptyLabel : const_cast<char*>(msgText(label.message));
}

// Titles the folder-size and version columns of every list view; the host
// keeps its own titles for the others (none).
void fillColumnTitles() {
    for (int m = 0; m < VIEW_MODES; ++m) {
        int column = 0;
        for (const char* type = panelModes[m].ColumnTypes; *type && column < MAX_COLUMNS; ++column) {
            const char* end = strchr(type, ',');
            size_t length = end ? static_cast<size_t>(end - type) : strlen(type);
            columnTitles[m][column] = type[0] == 'P' ? msgText(MColumnFolderSize)
                                      : (type[0] == 'O' && length == 1) ? msgText(MColumnVersion) : nullptr;
            type += length + (end ? 1 : 0);
        }
        panelModes[m].ColumnTitles = columnTitles[m];
    }
}

// The title as the host pads its own: a blank on either side.
void composeTitle(PanelState* panel, bool browsing) {
    char* title = panel->title;
    const size_t cap = sizeof panel->title;
    copyText(title, cap, " ");
    if (browsing) {
        appendText(title, cap, panel->currentDir);
    } else {
        appendText(title, cap, PLUGIN_TITLE);
        int by = panel->sortMode == SM_EXT ? MTitleByPath : (panel->sortMode == SM_OWNER ? MTitleByVersion : -1);
        const char* sort = by >= 0 ? msgText(by) : nullptr;
        if (sort && *sort) {
            appendText(title, cap, ": ");
            appendText(title, cap, sort);
        }
        if (faultSearchUnderWay) {
            appendText(title, cap, ": ");
            appendText(title, cap, message(MTitleSearching));
        }
    }
    appendText(title, cap, " ");
}

// After a folder was left, the host puts the cursor on the first item (or
// keeps its row); once the panel has been read again, the cursor is moved to
// the item that names the folder left.
void redrawWithCursorOn(HANDLE handle, int item, int top) {
    PanelRedrawInfo place = {item, top};
    askingHost = true;
    startupInfo.Control(handle, FCTL_REDRAWPANEL, &place);
    askingHost = false;
}

// Right after a folder was entered the cursor stands on "..", and there the
// host keeps the folder it took from the item it drew before: the folder
// above, where a copy onto the panel would then land. Drawn once on an entry
// of the new folder, the host takes that folder, and keeps it on "..".
void drawAnEntryFirst(PanelState* panel, HANDLE handle, const PanelInfo& info) {
    panel->cursorPending = 0;
    int up = findItemNamed(info.PanelItems, info.ItemsNumber, "..");
    int entry = -1;
    for (int i = 0; i < info.ItemsNumber && entry < 0; ++i)
        if (i != up) entry = i;
    if (up < 0 || entry < 0) return;
    redrawWithCursorOn(handle, entry, info.TopPanelItem);
    redrawWithCursorOn(handle, up, info.TopPanelItem);
}

void placeCursor(PanelState* panel, HANDLE handle) {
    if (panel->cursorPending < 2 || !startupInfo.Control) return;
    PanelInfo info;
    memset(&info, 0, sizeof info);
    askingHost = true;
    int ok = startupInfo.Control(handle, FCTL_GETPANELINFO, &info);
    askingHost = false;
    if (!ok || !info.PanelItems) return;
    if (!strcmp(panel->cursorTarget, "..")) {
        drawAnEntryFirst(panel, handle, info);
        return;
    }
    int target = findItemNamed(info.PanelItems, info.ItemsNumber, panel->cursorTarget);
    if (target < 0) {
        panel->cursorPending = 0;
        return;
    }
    // Seen in place after it was placed: done. Before that the host may
    // still move it (it sets its own position after reading the items).
    if (target == info.CurrentItem) {
        if (panel->cursorPending == 3) panel->cursorPending = 0;
        return;
    }
    panel->cursorPending = 3;
    redrawWithCursorOn(handle, target, info.TopPanelItem);
}

bool hasVersion(const PluginPanelItem* item) {
    return item->Owner && item->Owner[0];
}

// 1, or -1 while the host sorts in reverse. The short form hands out no
// items, so asking costs little in the middle of a sort; it makes the host
// ask GetOpenPluginInfo, which must then place no cursor (that would redraw
// the panel in the middle of its sort).
int sortDirection(HANDLE handle) {
    if (!startupInfo.Control) return 1;
    PanelInfo info;
    memset(&info, 0, sizeof info);
    bool nested = askingHost;
    askingHost = true;
    int ok = startupInfo.Control(handle, FCTL_GETPANELSHORTINFO, &info);
    askingHost = nested;
    return ok && (info.Flags & PFLAGS_REVERSESORTORDER) ? -1 : 1;
}

}  // namespace

int findItemNamed(const PluginPanelItem* items, int count, const char* name) {
    if (!items || !name || !*name) return -1;
    for (int i = 0; i < count; ++i)
        if (lstrcmpiA(items[i].FindData.cFileName, name) == 0) return i;
    return -1;
}

void expectCursorOn(PanelState* panel, const char* name) {
    copyText(panel->cursorTarget, sizeof panel->cursorTarget, name);
    panel->cursorPending = name && *name ? 1 : 0;
}

void panelWasRead(PanelState* panel) {
    if (panel->cursorPending == 1) panel->cursorPending = 2;
}

void cursorMovedByUser(PanelState* panel) {
    if (panel) panel->cursorPending = 0;
}

void swapViewMode(HANDLE panel, int* saved) {
    PanelInfo info;
    memset(&info, 0, sizeof info);
    bool nested = askingHost;
    askingHost = true;
    if (startupInfo.Control) startupInfo.Control(panel, FCTL_GETPANELINFO, &info);
    askingHost = nested;
    if (*saved != -1 && startupInfo.Control) startupInfo.Control(panel, FCTL_SETVIEWMODE, saved);
    *saved = info.ViewMode;
}

void WINAPI describePanel(HANDLE handle, OpenPluginInfo* info) {
    PanelState* panel = findPanelState(handle);
    if (!info || !panel) return;
    lastInfoAsked = handle;
    if (panel->savedViewMode == -1 && !askingHost) swapViewMode(handle, &panel->savedViewMode);
    // Fetched on every call: the host's language may have changed since.
    fillColumnTitles();
    fillKeyBar();

    bool browsing = panel->browseRootLength != 0;
    setEndSlash(panel->currentDir, 0, sizeof panel->currentDir);
    composeTitle(panel, browsing);
    info->StructSize = sizeof(OpenPluginInfo);
    info->Flags = browsing ? BROWSE_MODE_FLAGS : LIST_MODE_FLAGS;
    info->CurDir = browsing ? panel->currentDir : nullptr;
    info->Format = PANEL_FORMAT;
    info->PanelTitle = panel->title;
    info->PanelModesArray = browsing ? browseModes : panelModes;
    info->PanelModesNumber = 10;
    info->StartPanelMode = '0' + panel->startViewMode;
    info->StartSortMode = SM_NAME;
    info->StartSortOrder = 0;
    info->KeyBar = browsing ? nullptr : &keyBar;
    if (!askingHost) placeCursor(panel, handle);
}

int WINAPI comparePanelItems(HANDLE handle, const PluginPanelItem* item1, const PluginPanelItem* item2,
                             unsigned int mode) {
    PanelState* panel = findPanelState(handle);
    if (!panel || panel->browseRootLength || !item1 || !item2) return -2;
    panel->sortMode = static_cast<int>(mode);
    if (mode == SM_OWNER) {
        int order = compareVersions(item1->Owner, item2->Owner);
        // The host multiplies the answer by its sort direction; plugins
        // without a version stay last in both directions.
        if (order && !(hasVersion(item1) && hasVersion(item2))) return order * sortDirection(handle);
        if (order) return order;
        // Equal versions keep a stable, readable order: by folder path.
        mode = SM_EXT;
    }
    if (mode == SM_SIZE && item1->PackSize != item2->PackSize) {
        // The folder's total is its packed size; larger first, as the host sorts sizes.
        return item1->PackSize > item2->PackSize ? -1 : 1;
    }
    if (mode == SM_SIZE) mode = SM_EXT;
    if (mode != SM_EXT) return -2;
    int order = lstrcmpA(item1->FindData.cFileName, item2->FindData.cFileName);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
