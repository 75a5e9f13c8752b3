#include "browse/browse.h"

#include "runtime/folderWalk.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "ui/panelLook.h"

#include <string.h>

int fillBrowseItem(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    BrowseCursor* cursor = static_cast<BrowseCursor*>(context);
    // Entries that appeared after the folder was counted have no slot.
    if (!cursor || cursor->next >= cursor->end) return 0;
    PluginPanelItem* item = cursor->next;
    char name[MAX_PATH];
    copyText(name, sizeof name, folder);
    if (!appendWhole(name, sizeof name, entry->cFileName)) return 0;   // too long to name
    memcpy(&item->FindData, entry, sizeof item->FindData);
    copyText(item->FindData.cFileName, sizeof item->FindData.cFileName, name);
    ++cursor->next;
    return 1;
}

int listBrowseFolder(PanelState* panel, PluginPanelItem** items, int* count) {
    int n = walkFolder(panel->currentDir, nullptr, nullptr, 0);
    // One more for the way up, which the plugin names itself (below).
    PluginPanelItem* list = heapArray<PluginPanelItem>(n + 1);
    if (!list) {
        *items = nullptr;
        *count = 0;
        return 1;
    }
    BrowseCursor cursor = {list + 1, list + n + 1};
    walkFolder(panel->currentDir, fillBrowseItem, &cursor, 0);
    // The way up is named "..", which the host shows as "Up". The host copies
    // onto this panel by itself, into the folder of the item it last drew
    // under the cursor, and on ".." it keeps the folder it had; entering a
    // folder therefore draws an entry first (see placeCursor). An empty
    // folder has no entry to draw: there the way up names the folder itself,
    // so that a copy still lands inside it.
    char* up = list[0].FindData.cFileName;
    const size_t upCap = sizeof list[0].FindData.cFileName;
    list[0].FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    copyText(up, upCap, "..");
    if (cursor.next == list + 1) {
        copyText(up, upCap, panel->currentDir);
        setEndSlash(up, 1, upCap);
        if (!appendWhole(up, upCap, "..")) copyText(up, upCap, "..");
    }
    *items = list;
    // Entries that vanished or could not be named leave no empty items behind.
    *count = static_cast<int>(cursor.next - list);
    return 1;
}

namespace {

const CatalogueRecord* chooseRecord(PanelState* panel, HANDLE handle, const char* dir) {
    PanelInfo info;
    memset(&info, 0, sizeof info);
    if (startupInfo.Control && startupInfo.Control(handle, FCTL_GETPANELINFO, &info) && info.ItemsNumber &&
        info.PanelItems && info.CurrentItem >= 0 && info.CurrentItem < info.ItemsNumber) {
        DWORD index = info.PanelItems[info.CurrentItem].NumberOfLinks;
        if (index < static_cast<DWORD>(panel->catalogueCount) &&
            !strcmp(panel->catalogue[index].item.FindData.cFileName, dir))
            return &panel->catalogue[index];
    }
    for (int i = 0; i < panel->catalogueCount; ++i)
        if (!strcmp(panel->catalogue[i].item.FindData.cFileName, dir)) return &panel->catalogue[i];
    return nullptr;
}

int leaveBrowseMode(PanelState* panel, HANDLE handle, int opMode) {
    // Back in the list the cursor goes to the plugin whose folder was left.
    char left[MAX_PATH];
    copyTextN(left, sizeof left, panel->currentDir, static_cast<size_t>(panel->browseRootLength));
    expectCursorOn(panel, left);
    panel->browseRootLength = 0;
    if (!(opMode & OPM_FIND)) swapViewMode(handle, &panel->savedViewMode);
    return 1;
}

// Enter on the way up of an empty folder reaches SetDirectory not as ".."
// but as a name the host composes, which names no folder; the item's own
// name ends with "\..". A folder that vanished meanwhile also takes the
// user up.
bool wayUp(const char* dir, const char* path) {
    size_t length = boundedLength(dir, MAX_PATH);
    if (!strcmp(dir, "..") || (length >= 3 && !strcmp(dir + length - 3, "\\.."))) return true;
    DWORD attributes = GetFileAttributesA(path);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The host passes the full path of the entered item; a bare name typed by
// the user is a folder inside the browsed one. dir is shorter than MAX_PATH;
// false when the composed path would not fit.
bool resolveFolder(const PanelState* panel, const char* dir, char* path) {
    bool absolute = (dir[0] && dir[1] == ':') || (dir[0] == '\\' && dir[1] == '\\');
    if (absolute) {
        copyText(path, MAX_PATH, dir);
        return true;
    }
    copyText(path, MAX_PATH, panel->currentDir);
    return appendWhole(path, MAX_PATH, "\\") && appendWhole(path, MAX_PATH, dir);
}

}  // namespace

int WINAPI changePanelFolder(HANDLE handle, const char* dir, int opMode) {
    PanelState* panel = findPanelState(handle);
    if (!panel || !dir) return 0;

    if (!panel->browseRootLength) {
        const CatalogueRecord* record = chooseRecord(panel, handle, dir);
        if (!record) return 0;
        pluginFolderOf(record->dllPath, panel->currentDir, false);
        panel->browseRootLength = static_cast<int>(strlen(panel->currentDir));
        if (!panel->browseRootLength) return 0;
        expectCursorOn(panel, "..");
        if (!(opMode & OPM_FIND)) swapViewMode(handle, &panel->savedViewMode);
        return 1;
    }

    if (!strcmp(dir, "\\")) return leaveBrowseMode(panel, handle, opMode);
    setEndSlash(panel->currentDir, 0, sizeof panel->currentDir);
    if (boundedLength(dir, MAX_PATH) >= MAX_PATH) return 0;
    char path[MAX_PATH];
    if (!resolveFolder(panel, dir, path)) return 0;
    if (wayUp(dir, path)) {
        char* slash = strrchr(panel->currentDir, '\\');
        if (static_cast<int>(strlen(panel->currentDir)) <= panel->browseRootLength || !slash)
            return leaveBrowseMode(panel, handle, opMode);
        expectCursorOn(panel, panel->currentDir);
        *slash = 0;
        return 1;
    }
    copyText(panel->currentDir, sizeof panel->currentDir, path);
    expectCursorOn(panel, "..");
    return 1;
}
