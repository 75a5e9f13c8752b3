// Switching plugins off and on (Alt+F5): FAR 1.x has no such setting, so a
// plugin is switched off by the names of its DLLs (folders/dllSwitch.h). A
// loaded plugin is unloaded first, and FAR's record of it is left as FAR
// leaves a plugin it dropped; switched on, FAR loads it at its next use where
// it still holds its record from this session, else when it restarts.
#include "commands/pluginCommands.h"

#include "commands/changeRepair.h"
#include "commands/commandBoxes.h"

#include "farRecords/recordSync.h"
#include "farRecords/folderRelease.h"
#include "farRecords/pluginRelease.h"
#include "dll/pluginFitness.h"
#include "folders/dllSwitch.h"
#include "foreign/probe.h"
#include "runtime/errorText.h"
#include "runtime/folderWalk.h"
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

// The question names each folder; switching off, it says what else goes:
// the loaded plugins are unloaded first, and every plugin DLL of a folder
// that holds several goes off with it.
bool ask(const PanelState* panel, const Folders& folders, bool off) {
    BoxLine lines[SHOWN_FOLDERS + 1];
    const char* items[SHOWN_FOLDERS + 8];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    bool one = folders.count == 1;
    items[n++] = msgText(off ? (one ? MAskSwitchOff : MAskSwitchOffMany) : (one ? MAskSwitchOn : MAskSwitchOnMany));
    const char* paths[SHOWN_FOLDERS];
    for (int i = 0; i < folders.count && i < SHOWN_FOLDERS; ++i) paths[i] = folders.paths[i];
    n = addPathLines(paths, folders.count, SHOWN_FOLDERS, lines, items, n);
    int loaded = 0, dlls = 0;
    char names[BOX_TEXT_CHARS + 1] = "  ";
    for (int i = 0; off && i < panel->catalogueCount; ++i) {
        const CatalogueRecord& record = panel->catalogue[i];
        for (int f = 0; f < folders.count; ++f) {
            if (!liesInFolder(record.dllPath, folders.paths[f])) continue;
            loaded += heldModule(record.dllPath) != nullptr;
            if (!one) continue;
            if (dlls++) appendText(names, sizeof names, ", ");
            appendText(names, sizeof names, fileNameOf(record.dllPath));
        }
    }
    if (dlls > 1) {
        items[n++] = msgText(MSwitchAllDlls);
        items[n++] = names;
    }
    if (loaded) items[n++] = msgText(one ? MSwitchUnloadsFirst : MSwitchUnloadsFirstMany);
    if (off) items[n++] = msgText(one ? MSwitchOffKeeps : MSwitchOffKeepsMany);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", items, n, 0) == 0;
}

void reportFailure(const SwitchFailure& failure) {
    // The path is the file in the way when there is one (a "name.dll.off"
    // left from before), else the DLL that could not be renamed.
    char path[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, failure.path);
    errorText(failure.error, reason, sizeof reason);
    const char* items[6];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    items[n++] = msgText(failure.journal ? MJournalUnwritable : MCannotRename);
    items[n++] = path;
    items[n++] = reason;
    if (failure.putBack) items[n++] = msgText(MSwitchPutBack);
    if (failure.stuck) items[n++] = msgText(MRepairStuck);
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, n, 0);
}

// What stops a folder before the question: a DLL loose in a plugins folder
// (it has no folder of its own to switch), Vantorel's own folder, and,
// switching off, a loaded plugin FAR cannot let go of now.
int refusalFor(const PanelState* panel, const char* folder, bool off) {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    if (holdsPluginsRoot(folder)) return MUninstallInRoot;
    if (n && n < sizeof own && liesInFolder(own, folder)) return MCannotSwitchSelf;
    for (int i = 0; off && i < panel->catalogueCount; ++i) {
        HMODULE module = liesInFolder(panel->catalogue[i].dllPath, folder) ? heldModule(panel->catalogue[i].dllPath)
                                                                          : nullptr;
        if (int refusal = module ? unloadRefusal(panel->handle, module) : 0) return refusal;
    }
    return 0;
}

// Switches one folder; 0, or the id of why it was left (a box told a failed
// rename already: -1).
int switchFolder(PanelState* panel, const char* folder, bool off, int* nextUse, int* restart) {
    ReleasedPlugins released;
    if (off) {
        if (int why = releasePluginsUnder(panel->handle, folder, &released))
            return released.stillLoaded[0] ? MModuleStaysLoaded : why;
    }
    SwitchFailure failure;
    if (switchDllsUnder(folder, off, &failure) < 0) {
        syncRecordsUnder(folder);   // FAR gets back what it let go of
        reportFailure(failure);
        return -1;
    }
    // Off: FAR neither loads nor offers it from now on. On: FAR loads it at
    // its next use where it still holds its record.
    RecordsSynced synced = syncRecordsUnder(folder);
    if (!off && synced.rearmed && !synced.unknown && !synced.unknownBuild) ++*nextUse;
    else if (!off) ++*restart;
    return 0;
}

int noteSwitchedOff(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && appendWhole(path, sizeof path, entry->cFileName) &&
        isSwitchedOff(path))
        *static_cast<bool*>(context) = true;
    return 0;
}

// A helper DLL's item stands for its plugin's folder: it is off when the
// plugin there is.
bool isOff(const CatalogueRecord& record) {
    if (isSwitchedOff(record.dllPath)) return true;
    char folder[MAX_PATH];
    pluginFolderOf(record.dllPath, folder, false);
    if (holdsPluginsRoot(folder) || exportsFarEntryPoint(record.dllPath)) return false;
    bool found = false;
    walkFolder(folder, noteSwitchedOff, &found, 1);
    return found;
}

}  // namespace

void switchPlugins(PanelState* panel, CatalogueRecord* const* records, int count) {
    if (!startupInfo.Message || count <= 0 || refuseWhileJournalWaits()) return;
    Folders* folders = static_cast<Folders*>(heapAlloc(sizeof(Folders)));
    if (!folders) return;
    // Off unless every one chosen is off already.
    bool off = false;
    for (int i = 0; i < count; ++i) off |= !isOff(*records[i]);
    for (int i = 0; i < count && folders->count < MAX_FOLDERS; ++i) {
        if (off == isOff(*records[i])) continue;
        char folder[MAX_PATH];
        pluginFolderOf(records[i]->dllPath, folder, false);
        bool known = false;
        for (int f = 0; f < folders->count && !known; ++f) known = equalNoCase(folders->paths[f], folder);
        if (!known) copyText(folders->paths[folders->count++], MAX_PATH, folder);
    }
    // Each folder is switched or left with its reason; the refusals that
    // need no question come before it.
    Refused* refused = heapArray<Refused>(1);
    Folders* able = static_cast<Folders*>(heapAlloc(sizeof(Folders)));
    int lastRefusal = 0;
    for (int f = 0; refused && able && f < folders->count; ++f) {
        int refusal = refusalFor(panel, folders->paths[f], off);
        if (refusal) refused->add(folders->paths[f], lastRefusal = refusal);
        else copyText(able->paths[able->count++], MAX_PATH, folders->paths[f]);
    }
    if (!refused || !able) {
        // Out of memory: nothing is done.
    } else if (!able->count && folders->count == 1) {
        showMsg(lastRefusal);
    } else if (!able->count) {
        tellRefused(*refused, 0, 0);
    } else if (ask(panel, *able, off)) {
        int nextUse = 0, restart = 0, done = 0;
        for (int f = 0; f < able->count; ++f) {
            int why = switchFolder(panel, able->paths[f], off, &nextUse, &restart);
            if (!why) ++done;
            else if (why > 0) refused->add(able->paths[f], why);
        }
        bool many = nextUse + restart > 1;
        if (restart) showMsg(many ? MSwitchedOnRestartMany : MSwitchedOnRestart);
        else if (nextUse) showMsg(many ? MSwitchedOnNextUseMany : MSwitchedOnNextUse);
        tellRefused(*refused, done, MSwitchedCount);
        const char* changed[MAX_FOLDERS];
        for (int f = 0; f < able->count; ++f) changed[f] = able->paths[f];
        refreshAfterChange(panel, changed, able->count);
    }
    heapFree(refused);
    heapFree(able);
    heapFree(folders);
}
