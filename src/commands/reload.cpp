// Letting FAR load again a plugin Vantorel unloaded. FAR knows a state in
// which a plugin is known but not loaded: every plugin it finds in its plugin
// cache at a warm start is in it, and FAR loads the DLL at the plugin's first
// use. FAR's record of the plugin is put back into exactly that state, from
// the DLL on disk now, so that a replaced DLL is the one FAR loads.
#include "commands/pluginCommands.h"

#include "dll/pluginFitness.h"
#include "foreign/probe.h"
#include "describe/versionExtractor.h"
#include "describe/versionText.h"
#include "commands/fitnessReason.h"
#include "commands/farRecordSync.h"
#include "commands/hostRecordTable.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "state/unloadedPlugins.h"
#include "ui/messages.h"

#include <string.h>

namespace {

void showLines(const char* first, const char* second) {
    const char* items[4] = {PLUGIN_TITLE, first, second ? second : "", "OK"};
    if (second)
        startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING, "", items, 4, 1);
    else
        showText(first);
}

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
    if (!unloaded) return MReloadNotUnloaded;
    FarTableOutcome outcome = findFarRecordTable(&rearm->table);
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

void reportRearm(int message, const Rearm& rearm) {
    if (message != MReloadUnfit || hostKeeps(rearm.fitness.reason)) {
        showMsg(message);
        return;
    }
    char reason[BOX_TEXT_CHARS + 1];
    fitnessReasonText(rearm.fitness, reason, sizeof reason);
    showLines(msgText(MReloadUnfit), reason);
}

}  // namespace

int letFarLoadAgain(const char* path, bool report) {
    Rearm rearm;
    memset(&rearm, 0, sizeof rearm);
    int message = checkRearm(path, &rearm);
    if (message) {
        if (report) reportRearm(message, rearm);
        return message;
    }
    commitRearm(path, rearm);
    return 0;
}

void reloadPlugin(HANDLE handle, const CatalogueRecord* record) {
    if (!startupInfo.Message) return;
    Rearm rearm;
    memset(&rearm, 0, sizeof rearm);
    if (int message = checkRearm(record->dllPath, &rearm)) {
        reportRearm(message, rearm);
        return;
    }
    if (!askReload(record)) return;
    commitRearm(record->dllPath, rearm);
    if (startupInfo.Control) {
        startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
    }
}
