// Switching plugins off and on (Alt+F5): FAR 1.x has no such setting, so a
// plugin is switched off by the names of its DLLs (folders/dllSwitch.h). A
// loaded plugin is unloaded first, and FAR's record of it is left as FAR
// leaves a plugin it dropped; switched on, FAR loads it at its next use where
// it still holds its record from this session, else when it restarts.
#include "commands/pluginCommands.h"

#include "commands/commandBoxes.h"

#include "farRecords/recordSync.h"
#include "farRecords/folderRelease.h"
#include "folders/dllSwitch.h"
#include "foreign/probe.h"
#include "runtime/errorText.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr int MAX_FOLDERS = 32;
constexpr int SHOWN_FOLDERS = 12;

struct Folders {
    char paths[MAX_FOLDERS][MAX_PATH];
    int count;
};

bool ask(const Folders& folders, bool off) {
    BoxLine lines[SHOWN_FOLDERS + 1];
    const char* items[SHOWN_FOLDERS + 5];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    bool one = folders.count == 1;
    items[n++] = msgText(off ? (one ? MAskSwitchOff : MAskSwitchOffMany) : (one ? MAskSwitchOn : MAskSwitchOnMany));
    const char* paths[SHOWN_FOLDERS];
    for (int i = 0; i < folders.count && i < SHOWN_FOLDERS; ++i) paths[i] = folders.paths[i];
    n = addPathLines(paths, folders.count, SHOWN_FOLDERS, lines, items, n);
    if (off) items[n++] = msgText(MSwitchOffKeeps);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", items, n, 0) == 0;
}

void reportFailure(const SwitchFailure& failure) {
    char path[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, failure.path);
    errorText(failure.error, reason, sizeof reason);
    const char* items[4] = {PLUGIN_TITLE, msgText(MCannotRename), path, reason};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 4, 0);
}

int refusalFor(HANDLE handle, const char* folder) {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    // A DLL loose in a plugins folder has no folder of its own to switch.
    if (holdsPluginsRoot(folder)) return MUninstallInRoot;
    if (n && n < sizeof own && liesInFolder(own, folder)) return MCannotUnloadSelf;
    return 0;
}

}  // namespace

void switchPlugins(PanelState* panel, CatalogueRecord* const* records, int count) {
    if (!startupInfo.Message || count <= 0) return;
    Folders* folders = static_cast<Folders*>(heapAlloc(sizeof(Folders)));
    if (!folders) return;
    // Off unless every one chosen is off already.
    bool off = false;
    for (int i = 0; i < count; ++i) off |= !isSwitchedOff(records[i]->dllPath);
    for (int i = 0; i < count && folders->count < MAX_FOLDERS; ++i) {
        if (off == isSwitchedOff(records[i]->dllPath)) continue;
        char folder[MAX_PATH];
        pluginFolderOf(records[i]->dllPath, folder, false);
        bool known = false;
        for (int f = 0; f < folders->count && !known; ++f) known = equalNoCase(folders->paths[f], folder);
        if (!known) copyText(folders->paths[folders->count++], MAX_PATH, folder);
    }
    int refusal = 0;
    for (int f = 0; f < folders->count && !refusal; ++f) refusal = refusalFor(panel->handle, folders->paths[f]);
    if (refusal) {
        showMsg(refusal);
    } else if (folders->count && ask(*folders, off)) {
        int nextUse = 0, restart = 0;
        for (int f = 0; f < folders->count; ++f) {
            const char* folder = folders->paths[f];
            ReleasedPlugins released;
            if (off) {
                if (int why = releasePluginsUnder(panel->handle, folder, &released)) {
                    showMsg(released.stillLoaded[0] ? MModuleStaysLoaded : why);
                    break;
                }
            }
            SwitchFailure failure;
            if (switchDllsUnder(folder, off, &failure) < 0) {
                syncRecordsUnder(folder);   // FAR gets back what it let go of
                reportFailure(failure);
                break;
            }
            // Off: FAR neither loads nor offers it from now on. On: FAR loads
            // it at its next use where it still holds its record.
            RecordsSynced synced = syncRecordsUnder(folder);
            if (!off && synced.rearmed && !synced.unknown && !synced.unknownBuild) ++nextUse;
            else if (!off) ++restart;
        }
        if (restart) showMsg(MSwitchedOnRestart);
        else if (nextUse) showMsg(MSwitchedOnNextUse);
        const char* changed[MAX_FOLDERS];
        for (int f = 0; f < folders->count; ++f) changed[f] = folders->paths[f];
        refreshAfterChange(panel, changed, folders->count);
    }
    heapFree(folders);
}
