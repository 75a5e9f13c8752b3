#include "browse/browseMakeFolder.h"

#include "ui/failureReport.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

// Blanks around the name are no part of it, as in the host's own F7.
void trimBlanks(char* text) {
    size_t start = strspn(text, " \t");
    memmove(text, text + start, strlen(text + start) + 1);
    size_t length = strlen(text);
    while (length && (text[length - 1] == ' ' || text[length - 1] == '\t')) text[--length] = 0;
}

void reportFailure(const char* path, unsigned long error) {
    char reason[160];
    describeWindowsError(error, reason, sizeof reason);
    clearFailureReport();
    notePathFailure(message(MFailFolder), path, reason);
    showText(failureLine(0));
}

// The panel read again, the cursor on the folder at path (browse items
// carry full paths; plain names are matched too).
void showItem(HANDLE handle, const char* path) {
    const char* slash = strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    if (!startupInfo.Control) return;
    startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
    PanelInfo info;
    memset(&info, 0, sizeof info);
    PanelRedrawInfo cursor = {-1, -1};
    if (startupInfo.Control(handle, FCTL_GETPANELINFO, &info) && info.PanelItems) {
        for (int i = 0; i < info.ItemsNumber; ++i)
            if (equalNoCase(info.PanelItems[i].FindData.cFileName, path) ||
                equalNoCase(info.PanelItems[i].FindData.cFileName, name)) {
                cursor.CurrentItem = i;
                cursor.TopPanelItem = info.TopPanelItem;
                break;
            }
    }
    startupInfo.Control(handle, FCTL_REDRAWPANEL, cursor.CurrentItem >= 0 ? &cursor : nullptr);
}

}  // namespace

int makeFolderInBrowsedFolder(PanelState* panel) {
    FARAPIINPUTBOX inputBox = reinterpret_cast<FARAPIINPUTBOX>(startupInfo.InputBox);
    if (!panel || !panel->browseRootLength || !inputBox) return 0;
    char name[MAX_PATH] = "";
    if (!inputBox(message(MMakeFolderTitle), message(MMakeFolderPrompt), "NewFolder", "", name, sizeof name, "", 0))
        return 1;
    trimBlanks(name);
    if (!name[0]) return 1;
    char path[MAX_PATH];
    copyText(path, sizeof path, panel->currentDir);
    setEndSlash(path, 1, sizeof path);
    if (!appendWhole(path, sizeof path, name) || strlen(path) >= MAX_PATH - 1) {
        char shown[2 * MAX_PATH];
        copyText(shown, sizeof shown, panel->currentDir);
        setEndSlash(shown, 1, sizeof shown);
        appendText(shown, sizeof shown, name);
        reportFailure(shown, ERROR_FILENAME_EXCED_RANGE);
        return 1;
    }
    // A name with backslashes makes each missing folder on the way, as the host's F7 does.
    for (char* at = path + strlen(panel->currentDir) + 1; *at; ++at) {
        if (*at != '\\') continue;
        *at = 0;
        CreateDirectoryA(path, nullptr);
        *at = '\\';
    }
    setEndSlash(path, 0, sizeof path);
    if (!CreateDirectoryA(path, nullptr)) {
        reportFailure(path, GetLastError());
        return 1;
    }
    // The cursor goes to the first new folder on the way, which the browsed folder lists.
    char first[MAX_PATH];
    copyText(first, sizeof first, panel->currentDir);
    setEndSlash(first, 1, sizeof first);
    size_t start = strlen(first);
    appendText(first, sizeof first, name);
    if (char* slash = strchr(first + start, '\\')) *slash = 0;
    showItem(panel->handle, first);
    return 1;
}
