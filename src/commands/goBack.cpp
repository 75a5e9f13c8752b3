// Going back to a plugin's previous build: an update keeps the build it
// replaced beside the plugins folder (folders/previousBuilds.h); F3 names it
// and offers to swap it back in, by the same journaled swap and the same
// rules for a loaded plugin and for the user's files as an update (the
// previous build arrives as an update would: what the user made or changed
// in the folder stays), or to drop it. A plugin switched off stays off.
#include "commands/pluginCommands.h"

#include "commands/changeRepair.h"
#include "farRecords/recordSync.h"
#include "farRecords/folderRelease.h"
#include "farRecords/recordTable.h"
#include "describe/versionExtractor.h"
#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "folders/besidePlugins.h"
#include "folders/dllSwitch.h"
#include "folders/previousBuilds.h"
#include "folders/userFiles.h"
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

// The question's lines naming the user's files that stay.
struct KeptNames {
    static const int SHOWN = 4;
    char names[SHOWN + 1][BOX_TEXT_CHARS + 1];
    int count;
};

void keptName(const char* below, void* context) {
    KeptNames* kept = static_cast<KeptNames*>(context);
    if (kept->count < KeptNames::SHOWN) cutMiddle(kept->names[kept->count], BOX_TEXT_CHARS, below);
    else if (kept->count == KeptNames::SHOWN) copyText(kept->names[kept->count], BOX_TEXT_CHARS, "...");
    ++kept->count;
}

bool askGoBack(const CatalogueRecord* record, const char* folder, const char* previous, const char* previousDll,
               bool loaded, bool off) {
    char now[64], then[64], versions[160], path[BOX_TEXT_CHARS + 1];
    versionOf(record->dllPath, now, sizeof now);
    versionOf(previousDll, then, sizeof then);
    snprintf(versions, sizeof versions, message(MGoBackVersions), now, then);
    cutMiddle(path, BOX_TEXT_CHARS, folder);
    static KeptNames kept;
    memset(&kept, 0, sizeof kept);
    filesKeptFromUser(folder, previous, keptName, &kept);
    const char* question[16];
    int n = 0;
    question[n++] = PLUGIN_TITLE;
    question[n++] = msgText(MAskGoBack);
    question[n++] = path;
    question[n++] = versions;
    if (off) question[n++] = msgText(MUpdateStaysOff);
    question[n++] = msgText(MGoBackKeepsFiles);
    if (kept.count) question[n++] = msgText(MUsersFilesStay);
    for (int i = 0; i < kept.count && i <= KeptNames::SHOWN; ++i) question[n++] = kept.names[i];
    question[n++] = msgText(loaded ? MUpdateLoaded : MUninstallUnloadsFirst);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", question, n, 0) == 0;
}

// A copy of the previous build with the user's files of the folder in it,
// staged beside the plugins folder; false (nothing left) when it cannot be.
bool stageGoBack(const char* folder, const char* previous, bool off, char* stage, size_t cap) {
    if (!makeStagingFolder(folder, stage, cap)) return false;
    bool ok = copyFolderTree(previous, stage) && takeUsersFiles(folder, stage);
    // Switched off, the build that comes back is switched off too.
    if (ok && off) keepSwitchedOff(stage);
    if (!ok) removeFolderTree(stage);
    return ok;
}

}  // namespace

bool previousBuildOf(const CatalogueRecord* record, char* folder, char* previous, char* previousDll) {
    pluginFolderOf(record->dllPath, folder, false);
    if (holdsPluginsRoot(folder) || !previousBuildPath(folder, previous, MAX_PATH) || !exists(previous)) return false;
    copyText(previousDll, MAX_PATH, previous);
    if (!appendWhole(previousDll, MAX_PATH, record->dllPath + strlen(folder))) return false;
    // A plugin switched off since (or before) the update: the DLL under its other name.
    if (!exists(previousDll)) {
        size_t n = strlen(previousDll);
        if (isSwitchedOff(previousDll)) previousDll[n - (sizeof SWITCHED_OFF_SUFFIX - 1)] = 0;
        else appendWhole(previousDll, MAX_PATH, SWITCHED_OFF_SUFFIX);
    }
    return true;
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
    bool off = isSwitchedOff(record->dllPath);
    if (!askGoBack(record, folder, previous, previousDll, loaded, off)) return;

    ReleasedPlugins released;
    if (int why = releasePluginsUnder(panel->handle, folder, &released)) {
        showMsg(released.stillLoaded[0] ? MModuleStaysLoaded : why);
        return;
    }
    // The previous build, with the user's files, swaps places with the
    // current one, which becomes the previous build in turn.
    char stage[MAX_PATH];
    PlaceResult placed;
    memset(&placed, 0, sizeof placed);
    placed.outcome = PLACE_ASIDE_FAILED;
    if (stageGoBack(folder, previous, off, stage, sizeof stage)) {
        placed = placeStagedFolder(stage, folder);
        if (placed.outcome != PLACE_DONE && placed.outcome != PLACE_RESTORE_FAILED) removeFolderTree(stage);
    }
    tidyStagingFolders();
    RecordsSynced synced = syncRecordsUnder(folder);
    if (placed.outcome != PLACE_DONE) {
        showMsg(placed.journalFailed ? MJournalUnwritable : MOldKept);
    } else if (off) {
        showMsg(MUpdateStaysOff);
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
