// Uninstalling a plugin from the list: its folder goes whole, with every
// plugin DLL in it, after FAR has let go of those it loaded. A folder with a
// file in the way stays whole: a plugin with half its files is worse than
// either.
#include "commands/pluginCommands.h"

#include "commands/commandBoxes.h"

#include "state/pluginFolder.h"
#include "describe/versionText.h"
#include "foreign/probe.h"
#include "farRecords/recordSync.h"
#include "farRecords/folderRelease.h"
#include "farRecords/pluginRelease.h"
#include "commands/changeRepair.h"
#include "folders/folderRemoval.h"
#include "folders/previousBuilds.h"
#include "runtime/errorText.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// DLL lines a question shows; a folder holding more says how many more.
constexpr int SHOWN_DLLS = 8;

// Folder lines a question for several plugins shows.
constexpr int SHOWN_FOLDERS = 12;
// Folders one uninstall takes at most.
constexpr int MAX_FOLDERS = 64;

struct SelectedFolders {
    char paths[MAX_FOLDERS][MAX_PATH];
    int count;
};

struct FolderPlugins {
    int indexes[SHOWN_DLLS];
    int count;                 // all of them, shown or not
    int loaded;
};

// The previous build an update kept of folder, when there is one.
bool previousOf(const char* folder, char* previous) {
    return previousBuildPath(folder, previous, MAX_PATH) && GetFileAttributesA(previous) != INVALID_FILE_ATTRIBUTES;
}

void collectPlugins(const PanelState* panel, const char* folder, FolderPlugins* out) {
    memset(out, 0, sizeof *out);
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& record = panel->catalogue[i];
        if (record.missing || !liesInFolder(record.dllPath, folder)) continue;
        if (out->count < SHOWN_DLLS) out->indexes[out->count] = i;
        ++out->count;
        if (heldModule(record.dllPath)) ++out->loaded;
    }
}

void describeDll(const CatalogueRecord& record, const char* folder, char* line, size_t cap) {
    char version[VERSION_CHARS + 1];
    copyTextN(version, sizeof version, record.version, boundedLength(record.version, VERSION_CHARS));
    snprintf(line, cap, "%s  %s%s%s", record.dllPath + strlen(folder) + 1, version[0] ? version : msgText(MNoVersion),
             heldModule(record.dllPath) ? ", " : "", heldModule(record.dllPath) ? msgText(MLoadedByFar) : "");
}

// The question for one folder: the folder and each plugin DLL in it, with
// its version and whether FAR has it loaded.
bool askUninstall(const PanelState* panel, const char* folder, const FolderPlugins& plugins) {
    char lines[SHOWN_DLLS + 2][BOX_TEXT_CHARS + 1];
    const char* items[SHOWN_DLLS + 6];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    items[n++] = msgText(MAskUninstall);
    cutMiddle(lines[0], BOX_TEXT_CHARS, folder);
    items[n++] = lines[0];
    int shown = plugins.count < SHOWN_DLLS ? plugins.count : SHOWN_DLLS;
    for (int i = 0; i < shown; ++i) {
        describeDll(panel->catalogue[plugins.indexes[i]], folder, lines[1 + i], BOX_TEXT_CHARS + 1);
        items[n++] = lines[1 + i];
    }
    if (plugins.count > shown) {
        snprintf(lines[1 + shown], BOX_TEXT_CHARS + 1, msgText(MAndMore), plugins.count - shown);
        items[n++] = lines[1 + shown];
    }
    if (plugins.loaded) items[n++] = msgText(MUninstallUnloadsFirst);
    char previous[MAX_PATH];
    if (previousOf(folder, previous)) items[n++] = msgText(MUninstallPrevious);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", items, n, 0) == 0;
}

// The question for several folders: each folder by its path.
bool askUninstallAll(const PanelState* panel, const SelectedFolders& selected) {
    BoxLine lines[SHOWN_FOLDERS + 1];
    const char* items[SHOWN_FOLDERS + 5];
    const char* paths[SHOWN_FOLDERS];
    int n = 0, loaded = 0, previousBuilds = 0;
    for (int i = 0; i < selected.count; ++i) {
        FolderPlugins plugins;
        collectPlugins(panel, selected.paths[i], &plugins);
        loaded += plugins.loaded;
        char previous[MAX_PATH];
        previousBuilds += previousOf(selected.paths[i], previous);
        if (i < SHOWN_FOLDERS) paths[i] = selected.paths[i];
    }
    items[n++] = PLUGIN_TITLE;
    items[n++] = msgText(MAskUninstallMany);
    n = addPathLines(paths, selected.count, SHOWN_FOLDERS, lines, items, n);
    if (loaded) items[n++] = msgText(MUninstallUnloadsFirst);
    if (previousBuilds) items[n++] = msgText(MUninstallPreviousMany);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", items, n, 0) == 0;
}

void reportProblem(int lead, const RemovalProblem& problem) {
    char path[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, problem.path);
    // What to do about a read-only file, rather than Windows' "access denied".
    if (problem.error == ERROR_FILE_READ_ONLY) copyText(reason, sizeof reason, msgText(MReadOnlyInTheWay));
    else errorText(problem.error, reason, sizeof reason);
    const char* items[4] = {PLUGIN_TITLE, msgText(lead), path, reason};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 4, 0);
}

void reportStillLoaded(const char* module) {
    char path[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, module);
    const char* items[4] = {PLUGIN_TITLE, msgText(MNothingRemoved), path, msgText(MModuleStaysLoaded)};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 4, 0);
}

bool ownPluginIn(const char* folder) {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    return n && n < sizeof own && liesInFolder(own, folder);
}

}  // namespace

namespace {

// A refusal of one of several folders names that folder.
void refuse(const SelectedFolders& selected, const char* folder, int message) {
    if (selected.count == 1) {
        showMsg(message);
        return;
    }
    char path[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, folder);
    const char* items[3] = {PLUGIN_TITLE, path, msgText(message)};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 3, 0);
}

// Every refusal comes before the question: after a Yes, either all goes or
// nothing does.
bool refused(const PanelState* panel, const SelectedFolders& selected) {
    for (int f = 0; f < selected.count; ++f) {
        const char* folder = selected.paths[f];
        // A DLL loose in a plugins folder has no folder of its own to remove
        // (and Vantorel's own lies below the plugins folder too).
        int message = holdsPluginsRoot(folder) ? MUninstallInRoot : ownPluginIn(folder) ? MCannotUninstallSelf : 0;
        for (int i = 0; i < panel->catalogueCount && !message; ++i) {
            const CatalogueRecord& other = panel->catalogue[i];
            HMODULE module = liesInFolder(other.dllPath, folder) ? heldModule(other.dllPath) : nullptr;
            if (module) message = unloadRefusal(panel->handle, module);
        }
        if (message) {
            refuse(selected, folder, message);
            return true;
        }
    }
    return false;
}

// FAR gets back what it let go of in folders that are still whole, and
// forgets what is gone.
bool syncAll(const SelectedFolders& selected) {
    bool unknownBuild = false;
    for (int f = 0; f < selected.count; ++f) unknownBuild |= syncRecordsUnder(selected.paths[f]).unknownBuild;
    return unknownBuild;
}

// Lets go of FAR's plugins in every folder and removes them all, or says
// what stands in the way. Nothing is removed before every folder is clear.
void removeAll(PanelState* panel, const SelectedFolders& selected) {
    RemovalProblem problem;
    // A file held or read-only stops it before anything is unloaded; the
    // DLLs FAR has loaded are in the way until they are let go of, and the
    // whole folder is checked again after.
    // The previous builds go with their plugins: they too are checked first.
    for (int f = 0; f < selected.count; ++f) {
        char previous[MAX_PATH];
        if (!folderRemovable(selected.paths[f], &problem, heldModule) ||
            (previousOf(selected.paths[f], previous) && !folderRemovable(previous, &problem))) {
            reportProblem(MNothingRemoved, problem);
            return;
        }
    }
    for (int f = 0; f < selected.count; ++f) {
        ReleasedPlugins released;
        if (int why = releasePluginsUnder(panel->handle, selected.paths[f], &released)) {
            syncAll(selected);
            if (released.stillLoaded[0]) reportStillLoaded(released.stillLoaded);
            else refuse(selected, selected.paths[f], why);
            return;
        }
    }
    for (int f = 0; f < selected.count; ++f)
        if (!folderRemovable(selected.paths[f], &problem)) {
            syncAll(selected);
            reportProblem(MNothingRemoved, problem);
            return;
        }
    bool whole = true;
    for (int f = 0; f < selected.count && whole; ++f) {
        char previous[MAX_PATH];
        bool hadPrevious = previousOf(selected.paths[f], previous);
        whole = removeFolder(selected.paths[f], &problem);
        if (whole && hadPrevious) removeFolder(previous, &problem);
    }
    // FAR neither loads nor offers what is gone, and its cache keeps no slot
    // of it; where its records are unknown it offers it until it restarts.
    bool unknownBuild = syncAll(selected);
    if (!whole) reportProblem(MNothingRemoved, problem);
    else if (unknownBuild) showMsg(MUninstalledRestart);
}

}  // namespace

void uninstallPlugins(PanelState* panel, CatalogueRecord* const* records, int count) {
    if (!startupInfo.Message || count <= 0 || refuseWhileJournalWaits()) return;
    SelectedFolders* selected = static_cast<SelectedFolders*>(heapAlloc(sizeof(SelectedFolders)));
    if (!selected) return;
    for (int i = 0; i < count && selected->count < MAX_FOLDERS; ++i) {
        char folder[MAX_PATH];
        pluginFolderOf(records[i]->dllPath, folder, false);
        bool known = false;
        for (int f = 0; f < selected->count && !known; ++f) known = equalNoCase(selected->paths[f], folder);
        if (!known) copyText(selected->paths[selected->count++], MAX_PATH, folder);
    }
    bool asked = false;
    if (!refused(panel, *selected)) {
        if (selected->count == 1) {
            FolderPlugins plugins;
            collectPlugins(panel, selected->paths[0], &plugins);
            asked = askUninstall(panel, selected->paths[0], plugins);
        } else {
            asked = askUninstallAll(panel, *selected);
        }
    }
    if (asked) {
        removeAll(panel, *selected);
        const char* changed[MAX_FOLDERS];
        for (int f = 0; f < selected->count; ++f) changed[f] = selected->paths[f];
        refreshAfterChange(panel, changed, selected->count);
    }
    heapFree(selected);
}
