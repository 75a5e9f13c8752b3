// Uninstalling a plugin from the list: its folder goes whole, with every
// plugin DLL in it, after FAR has let go of those it loaded. A folder with a
// file in the way stays whole: a plugin with half its files is worse than
// either.
#include "commands/pluginCommands.h"

#include "state/pluginFolder.h"
#include "describe/versionText.h"
#include "foreign/probe.h"
#include "commands/farRecordSync.h"
#include "commands/folderRelease.h"
#include "folders/folderRemoval.h"
#include "runtime/errorText.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// DLL lines a question shows; a folder holding more says how many more.
constexpr int SHOWN_DLLS = 8;

struct FolderPlugins {
    int indexes[SHOWN_DLLS];
    int count;                 // all of them, shown or not
    int loaded;
};

// Whether path lies inside folder (which has no trailing backslash).
bool inFolder(const char* path, const char* folder) {
    size_t n = strlen(folder);
    return n && strlen(path) > n + 1 && path[n] == '\\' && startsWithNoCase(path, folder);
}

void collectPlugins(const PanelState* panel, const char* folder, FolderPlugins* out) {
    memset(out, 0, sizeof *out);
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& record = panel->catalogue[i];
        if (record.missing || !inFolder(record.dllPath, folder)) continue;
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
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", items, n, 0) == 0;
}

void reportProblem(int lead, const RemovalProblem& problem) {
    char path[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, problem.path);
    errorText(problem.error, reason, sizeof reason);
    const char* items[5] = {PLUGIN_TITLE, msgText(lead), path, reason, "OK"};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING, "", items, 5, 1);
}

void reportStillLoaded(const char* module) {
    char path[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, module);
    const char* items[5] = {PLUGIN_TITLE, msgText(MNothingRemoved), path, msgText(MModuleStaysLoaded), "OK"};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING, "", items, 5, 1);
}

bool ownPluginIn(const char* folder) {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    return n && n < sizeof own && inFolder(own, folder);
}

}  // namespace

void uninstallPlugin(PanelState* panel, const CatalogueRecord* record) {
    if (!startupInfo.Message) return;
    char folder[MAX_PATH];
    pluginFolderOf(record->dllPath, folder, false);
    // A DLL loose in a plugins folder has no folder of its own to remove
    // (and Vantorel's own lies below the plugins folder too).
    if (holdsPluginsRoot(folder)) {
        showMsg(MUninstallInRoot);
        return;
    }
    if (ownPluginIn(folder)) {
        showMsg(MCannotUninstallSelf);
        return;
    }
    FolderPlugins plugins;
    collectPlugins(panel, folder, &plugins);
    // Every refusal comes before the question: after a Yes, either all goes
    // or nothing does.
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& other = panel->catalogue[i];
        HMODULE module = inFolder(other.dllPath, folder) ? heldModule(other.dllPath) : nullptr;
        if (!module) continue;
        if (int refusal = unloadRefusal(panel->handle, module)) {
            showMsg(refusal);
            return;
        }
    }
    if (!askUninstall(panel, folder, plugins)) return;

    RemovalProblem problem;
    // A file held or read-only stops it before anything is unloaded; the
    // DLLs FAR has loaded are in the way until they are let go of, and the
    // whole folder is checked again after.
    if (!folderRemovable(folder, &problem, heldModule)) {
        reportProblem(MNothingRemoved, problem);
        return;
    }
    ReleasedPlugins released;
    if (int why = releasePluginsUnder(panel->handle, folder, &released)) {
        if (released.stillLoaded[0]) {
            memset(&problem, 0, sizeof problem);
            copyText(problem.path, sizeof problem.path, released.stillLoaded);
            reportStillLoaded(problem.path);
        } else {
            showMsg(why);
        }
    } else if (!folderRemovable(folder, &problem) || !removeFolder(folder, &problem)) {
        // Still whole: FAR gets back what it let go of.
        syncRecordsUnder(folder);
        reportProblem(MNothingRemoved, problem);
    } else {
        // FAR neither loads nor offers what is gone; where its records are
        // unknown it offers it until it restarts.
        RecordsSynced synced = syncRecordsUnder(folder);
        if (synced.unknownBuild) showMsg(MUninstalledRestart);
    }
    for (int i = 0; i < panel->catalogueCount; ++i)
        if (inFolder(panel->catalogue[i].dllPath, folder)) panel->catalogue[i].module = heldModule(panel->catalogue[i].dllPath);
    if (startupInfo.Control) {
        startupInfo.Control(panel->handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(panel->handle, FCTL_REDRAWPANEL, nullptr);
    }
}
