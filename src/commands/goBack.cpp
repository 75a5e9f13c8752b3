// Going back to a plugin's previous build: an update keeps the build it
// replaced beside the plugins folder (folders/previousBuilds.h); F3 names it
// and offers to swap it back in, by the same journaled swap and the same
// rules for a loaded plugin as an update, or to drop it.
#include "commands/pluginCommands.h"

#include "commands/changeRepair.h"
#include "farRecords/recordSync.h"
#include "farRecords/folderRelease.h"
#include "farRecords/recordTable.h"
#include "describe/versionExtractor.h"
#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "folders/previousBuilds.h"
#include "foreign/probe.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The version of a DLL file, or the "no version" text.
void versionOf(const char* path, char* out, size_t cap) {
    static CatalogueRecord facts;
    memset(&facts, 0, sizeof facts);
    if (resourceVersion(&facts, path) && facts.version[0]) copyTextN(out, cap, facts.version, sizeof facts.version);
    else copyText(out, cap, message(MNoVersion));
}

}  // namespace

bool previousBuildOf(const CatalogueRecord* record, char* folder, char* previous, char* previousDll) {
    pluginFolderOf(record->dllPath, folder, false);
    if (holdsPluginsRoot(folder) || !previousBuildPath(folder, previous, MAX_PATH) || !exists(previous)) return false;
    copyText(previousDll, MAX_PATH, previous);
    return appendWhole(previousDll, MAX_PATH, record->dllPath + strlen(folder));
}

void describePreviousBuild(const CatalogueRecord* record, char* line, size_t cap, char* space, size_t spaceCap) {
    char folder[MAX_PATH], previous[MAX_PATH], dll[MAX_PATH], version[64];
    line[0] = space[0] = 0;
    if (!previousBuildOf(record, folder, previous, dll)) return;
    versionOf(dll, version, sizeof version);
    snprintf(line, cap, message(MInfoPreviousBuild), version);
    // Digits by hand: the C runtime of older Windows formats no 64-bit number.
    char bytes[32], digits[24];
    unsigned long long size = previousBuildsSize();
    int n = 0;
    do digits[n++] = static_cast<char>('0' + size % 10);
    while ((size /= 10) && n < 23);
    for (int i = 0; i < n; ++i) bytes[i] = digits[n - 1 - i];
    bytes[n] = 0;
    insertThousands(bytes, sizeof bytes);
    snprintf(space, spaceCap, message(MInfoPreviousSpace), bytes);
}

void dropPreviousBuild(const CatalogueRecord* record) {
    char folder[MAX_PATH], previous[MAX_PATH], dll[MAX_PATH];
    if (!previousBuildOf(record, folder, previous, dll) || refuseWhileJournalWaits()) return;
    RemovalProblem problem;
    if (removeFolder(previous, &problem)) showMsg(MPreviousDropped);
}

void goBackToPreviousBuild(PanelState* panel, const CatalogueRecord* record) {
    char folder[MAX_PATH], previous[MAX_PATH], previousDll[MAX_PATH];
    if (!startupInfo.Message || !previousBuildOf(record, folder, previous, previousDll) || refuseWhileJournalWaits())
        return;
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    if (n && n < sizeof own && liesInFolder(own, folder)) {
        showMsg(MCannotUnloadSelf);
        return;
    }
    // A plugin FAR has loaded is let go of and given back only where FAR's
    // records are known.
    bool loaded = false;
    for (int i = 0; i < panel->catalogueCount; ++i)
        loaded |= liesInFolder(panel->catalogue[i].dllPath, folder) && heldModule(panel->catalogue[i].dllPath);
    if (loaded && !farRecordLayout(hostFarVersion())) {
        showMsg(MMustUnload);
        return;
    }
    char now[64], then[64], versions[160], path[BOX_TEXT_CHARS + 1];
    versionOf(record->dllPath, now, sizeof now);
    versionOf(previousDll, then, sizeof then);
    snprintf(versions, sizeof versions, message(MGoBackVersions), now, then);
    cutMiddle(path, BOX_TEXT_CHARS, folder);
    const char* question[5] = {PLUGIN_TITLE, msgText(MAskGoBack), path, versions,
                               msgText(loaded ? MUpdateLoaded : MUninstallUnloadsFirst)};
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", question, loaded ? 5 : 4, 0) != 0) return;

    ReleasedPlugins released;
    if (int why = releasePluginsUnder(panel->handle, folder, &released)) {
        showMsg(released.stillLoaded[0] ? MModuleStaysLoaded : why);
        return;
    }
    // The previous build is staged already: it swaps places with the
    // current one, which becomes the previous build in turn.
    PlaceResult placed = placeStagedFolder(previous, folder);
    RecordsSynced synced = syncRecordsUnder(folder);
    if (placed.outcome != PLACE_DONE) {
        showMsg(placed.journalFailed ? MJournalUnwritable : MOldKept);
    } else {
        showMsg(synced.rearmed && !synced.gone && !synced.unknown && !synced.unknownBuild ? MWentBackNextUse
                                                                                           : MWentBackRestart);
    }
    for (int i = 0; i < panel->catalogueCount; ++i)
        if (liesInFolder(panel->catalogue[i].dllPath, folder)) panel->catalogue[i].module = heldModule(panel->catalogue[i].dllPath);
    panel->forceRescan = 1;
    if (startupInfo.Control) {
        startupInfo.Control(panel->handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(panel->handle, FCTL_REDRAWPANEL, nullptr);
    }
}
