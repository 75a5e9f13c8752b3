// Letting FAR load again a plugin Vantorel unloaded. FAR knows a state in
// which a plugin is known but not loaded: every plugin it finds in its plugin
// cache at a warm start is in it, and FAR loads the DLL at the plugin's first
// use. FAR's record of the plugin is put back into exactly that state, from
// the DLL on disk now, so that a replaced DLL is the one FAR loads.
#include "commands/pluginCommands.h"

#include "commands/commandBoxes.h"

#include "dll/pluginFitness.h"
#include "foreign/probe.h"
#include "describe/versionExtractor.h"
#include "describe/versionText.h"
#include "ui/fitnessReason.h"
#include "farRecords/recordSync.h"
#include "farRecords/recordTable.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "farRecords/unloadedPlugins.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

bool askReload(const CatalogueRecord* record) {
    char path[BOX_TEXT_CHARS + 1];
    cutMiddle(path, BOX_TEXT_CHARS, record->dllPath);
    CatalogueRecord fresh;
    memset(&fresh, 0, sizeof fresh);
    char version[VERSION_CHARS + 1] = "";
    if (resourceVersion(&fresh, record->dllPath)) copyTextN(version, sizeof version, fresh.version, VERSION_CHARS);
    const char* items[4] = {PLUGIN_TITLE, msgText(MAskReload), path, version[0] ? version : msgText(MNoVersion)};
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", items, 4, 0) == 0;
}

// Everything Shift+F6 checks before FAR's record is written, and the write.
// A message id when the plugin cannot come back (with F3's reason in
// reason for a DLL FAR could not use), 0 when the record was put back or,
// without commit, could be.
struct Rearm {
    FarRecordTable table;
    uint8_t* record;
    PluginFitness fitness;
};

int checkRearm(const char* path, Rearm* rearm) {
    if (heldModule(path)) return MReloadLoaded;
    const UnloadedPlugin* unloaded = findUnloaded(path);
    FarTableOutcome outcome = findFarRecordTable(&rearm->table);
    if (!unloaded) {
        // Why there is nothing to do: FAR has not used it yet, or never will
        // before it restarts.
        if (outcome != FAR_TABLE_FOUND) return MReloadNotUnloaded;
        const uint8_t* record = farRecordOf(rearm->table, path);
        if (!record) return MReloadNoRecord;
        return recordNotLoaded(record, *rearm->table.layout, path) &&
                       (farRecordWord(record, FAR_RECORD_WORK_FLAGS) & FAR_WORK_CACHED)
                   ? MReloadNotYetLoaded
                   : MReloadNotUnloaded;
    }
    if (outcome == FAR_TABLE_UNKNOWN_BUILD || !unloaded->record) return MReloadUnknownBuild;
    // Only the record the unload left, still as it left it.
    rearm->record = outcome == FAR_TABLE_FOUND ? farRecordOf(rearm->table, path) : nullptr;
    if (!rearm->record || rearm->record != unloaded->record ||
        !recordOfReleasedModule(rearm->record, *rearm->table.layout, path))
        return MReloadRecordNotFound;
    return rearmFromDisk(rearm->record, *rearm->table.layout, path, &rearm->fitness, false);
}

void commitRearm(const char* path, Rearm& rearm) {
    if (rearmFromDisk(rearm.record, *rearm.table.layout, path, &rearm.fitness, true) == 0) forgetUnloaded(path);
}

// The reason a plugin cannot come back; one of several is named first.
void reportRearm(int message, const Rearm& rearm, const char* naming = nullptr) {
    char path[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    const char* items[6];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    if (naming) {
        cutMiddle(path, BOX_TEXT_CHARS, naming);
        items[n++] = path;
    }
    items[n++] = msgText(message);
    if (message == MReloadUnfit && !hostKeeps(rearm.fitness.reason)) {
        fitnessReasonText(rearm.fitness, reason, sizeof reason);
        items[n++] = reason;
    }
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, n, 0);
}

}  // namespace

namespace {

// Plugin lines a question for several plugins shows.
constexpr int SHOWN_PLUGINS = 12;

bool askReloadAll(CatalogueRecord* const* records, int count) {
    BoxLine lines[SHOWN_PLUGINS + 1];
    const char* items[SHOWN_PLUGINS + 3];
    const char* paths[SHOWN_PLUGINS];
    for (int i = 0; i < count && i < SHOWN_PLUGINS; ++i) paths[i] = records[i]->dllPath;
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    items[n++] = msgText(MAskReloadMany);
    n = addPathLines(paths, count, SHOWN_PLUGINS, lines, items, n);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO, "", items, n, 0) == 0;
}

}  // namespace

void reloadPlugins(HANDLE handle, CatalogueRecord* const* records, int count) {
    if (!startupInfo.Message || count <= 0) return;
    Rearm* rearms = heapArray<Rearm>(static_cast<size_t>(count));
    CatalogueRecord** able = heapArray<CatalogueRecord*>(static_cast<size_t>(count));
    Refused* refused = heapArray<Refused>(1);
    if (!rearms || !able || !refused) {
        heapFree(rearms);
        heapFree(able);
        heapFree(refused);
        return;
    }
    // Every plugin that can come back does; those that cannot are told,
    // each with its reason, and stop none of the others.
    int n = 0, lastRefusal = 0, lastRefused = 0;
    for (int i = 0; i < count; ++i) {
        int refusal = checkRearm(records[i]->dllPath, &rearms[n]);
        if (!refusal) {
            able[n++] = records[i];
            continue;
        }
        lastRefusal = refusal;
        lastRefused = i;
        char reason[BOX_TEXT_CHARS + 1];
        if (refusal == MReloadUnfit && !hostKeeps(rearms[n].fitness.reason))
            fitnessReasonText(rearms[n].fitness, reason, sizeof reason);
        else
            copyText(reason, sizeof reason, msgText(refusal));
        refused->add(records[i]->dllPath, reason);
    }
    if (!n && count == 1) {
        reportRearm(lastRefusal, rearms[0]);
    } else if (!n) {
        tellRefused(*refused, 0, 0);
    } else if (n == 1 && count == 1 ? askReload(able[0]) : askReloadAll(able, n)) {
        for (int i = 0; i < n; ++i) commitRearm(able[i]->dllPath, rearms[i]);
        tellRefused(*refused, n, MLetBackCount);
        if (startupInfo.Control) {
            startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
            startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
        }
    }
    (void)lastRefused;
    heapFree(rearms);
    heapFree(able);
    heapFree(refused);
}
