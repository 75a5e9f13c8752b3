// Letting FAR load again a plugin Vantorel unloaded. FAR knows a state in
// which a plugin is known but not loaded: every plugin it finds in its plugin
// cache at a warm start is in it, and FAR loads the DLL at the plugin's first
// use. FAR's record of the plugin is put back into exactly that state, from
// the DLL on disk now, so that a replaced DLL is the one FAR loads.
#include "commands/pluginCommands.h"

#include "catalogue/pluginFitness.h"
#include "catalogue/probe.h"
#include "catalogue/versionExtractor.h"
#include "catalogue/versionText.h"
#include "commands/fitnessReason.h"
#include "commands/hostCacheSlot.h"
#include "commands/hostRecordTable.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "state/unloadedPlugins.h"
#include "ui/messages.h"

#include <string.h>

namespace {

// Which of FAR's entry points the file exports, in the record's order.
void exportsInRecordOrder(const PluginImageFacts& facts, bool* exports) {
    for (int i = 0; i < FRE_COUNT; ++i) {
        exports[i] = false;
        for (int j = 0; j < FAR_ENTRY_POINT_COUNT; ++j)
            if (!strcmp(FAR_RECORD_ENTRY_NAMES[i], FAR_ENTRY_POINTS[j])) exports[i] = (facts.entryPoints & entryPointBit(j)) != 0;
    }
}

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

}  // namespace

void reloadPlugin(HANDLE handle, const CatalogueRecord* record) {
    if (!startupInfo.Message) return;
    const char* path = record->dllPath;
    if (heldModule(path)) {
        showMsg(MReloadLoaded);
        return;
    }
    const UnloadedPlugin* unloaded = findUnloaded(path);
    if (!unloaded) {
        showMsg(MReloadNotUnloaded);
        return;
    }
    FarRecordTable table;
    FarTableOutcome outcome = findFarRecordTable(&table);
    if (outcome == FAR_TABLE_UNKNOWN_BUILD || !unloaded->record) {
        showMsg(MReloadUnknownBuild);
        return;
    }
    // Only the record the unload left, still as it left it.
    uint8_t* farRecord = outcome == FAR_TABLE_FOUND ? farRecordOf(table, path) : nullptr;
    if (!farRecord || farRecord != unloaded->record || !recordOfReleasedModule(farRecord, *table.layout, path)) {
        showMsg(MReloadRecordNotFound);
        return;
    }
    // FAR calls through the entry points it is told of without asking again:
    // they must be those of the file it will load.
    PluginFitness fitness;
    checkPluginFile(path, &fitness);
    if (!hostKeeps(fitness.reason)) {
        char reason[BOX_TEXT_CHARS + 1];
        fitnessReasonText(fitness, reason, sizeof reason);
        showLines(msgText(MReloadUnfit), reason);
        return;
    }
    CacheSlot slot;
    uint32_t slotInRecord = farRecordWord(farRecord, FAR_RECORD_CACHE_SLOT);
    if (!findCacheSlot(path, &slot) || slot.preload ||
        (slotInRecord && slotInRecord != static_cast<uint32_t>(slot.index))) {
        showMsg(MReloadNoCacheSlot);
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE) {
        showMsg(MReloadUnfit);
        return;
    }
    FindClose(find);
    if (!askReload(record)) return;

    KnownPlugin plugin;
    memset(&plugin, 0, sizeof plugin);
    plugin.cacheSlot = static_cast<uint32_t>(slot.index);
    plugin.sysId = slot.sysId;
    plugin.findData = reinterpret_cast<const uint8_t*>(&found);
    exportsInRecordOrder(fitness.facts, plugin.exports);
    armKnownNotLoaded(farRecord, *table.layout, plugin);
    forgetUnloaded(path);
    if (startupInfo.Control) {
        startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
    }
}
