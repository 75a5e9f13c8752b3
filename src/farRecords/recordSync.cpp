#include "farRecords/recordSync.h"

#include "runtime/folderWalk.h"
#include "farRecords/cacheSlot.h"
#include "farRecords/recordTable.h"
#include "farRecords/slotSweep.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "farRecords/unloadedPlugins.h"
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

struct Unrecorded {
    const FarRecordTable* table;
    int count;
};

int countUnrecorded(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    size_t n = strlen(entry->cFileName);
    if (n < 5 || !equalNoCase(entry->cFileName + n - 4, ".dll")) return 0;
    Unrecorded* unrecorded = static_cast<Unrecorded*>(context);
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (appendWhole(path, sizeof path, entry->cFileName) && !farRecordOf(*unrecorded->table, path) &&
        isFar170Plugin(path))
        ++unrecorded->count;
    return 0;
}

}  // namespace

int rearmFromDisk(uint8_t* record, const FarRecordLayout& layout, const char* path, PluginFitness* fitness,
                  bool commit) {
    // FAR calls through the entry points it is told of without asking again:
    // they must be those of the file it will load.
    checkPluginFile(path, fitness);
    if (!hostKeeps(fitness->reason)) return MReloadUnfit;
    CacheSlot slot;
    uint32_t slotInRecord = farRecordWord(record, FAR_RECORD_CACHE_SLOT);
    if (!findCacheSlot(path, &slot) || slot.preload ||
        (slotInRecord && slotInRecord != static_cast<uint32_t>(slot.index)))
        return MReloadNoCacheSlot;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE) return MReloadUnfit;
    FindClose(find);
    if (!commit) return 0;
    KnownPlugin plugin;
    memset(&plugin, 0, sizeof plugin);
    plugin.cacheSlot = static_cast<uint32_t>(slot.index);
    plugin.sysId = slot.sysId;
    plugin.findData = reinterpret_cast<const uint8_t*>(&found);
    exportsInRecordOrder(fitness->facts, plugin.exports);
    armKnownNotLoaded(record, layout, plugin);
    return 0;
}

RecordsSynced syncRecordsUnder(const char* folder) {
    RecordsSynced synced;
    memset(&synced, 0, sizeof synced);
    FarRecordTable table;
    switch (findFarRecordTable(&table)) {
    case FAR_TABLE_FOUND: break;
    case FAR_TABLE_UNKNOWN_BUILD: synced.unknownBuild = true; return synced;
    default: synced.noTable = true; return synced;
    }
    // A plugin switched on again gets back the slot it had.
    restoreHeldSlotsUnder(folder, table);
    for (int i = 0; i < table.count; ++i) {
        uint8_t* record = table.base + static_cast<size_t>(i) * table.layout->size;
        const char* own = farRecordPath(record);
        if (!own || !liesInFolder(own, folder)) continue;
        char path[MAX_PATH];
        copyText(path, sizeof path, own);
        if (!recordNotLoaded(record, *table.layout, path)) {
            ++synced.loaded;
            continue;
        }
        PluginFitness fitness;
        if (rearmFromDisk(record, *table.layout, path, &fitness, true) == 0) {
            ++synced.rearmed;
        } else {
            // No file FAR could load there, or none FAR's cache describes:
            // FAR leaves it alone until it restarts and reads the disk again.
            markRecordGone(record, *table.layout);
            ++synced.gone;
        }
        forgetUnloaded(path);
    }
    // Where a DLL left its path its slot goes too, before FAR's next start
    // would shift the later plugins' slots under their records.
    sweepCacheSlotsUnder(folder, table);
    Unrecorded unrecorded = {&table, 0};
    walkFolder(folder, countUnrecorded, &unrecorded, 1);
    synced.unknown = unrecorded.count;
    return synced;
}

bool farKnowsPluginsUnder(const char* folder) {
    FarRecordTable table;
    if (findFarRecordTable(&table) != FAR_TABLE_FOUND) return false;
    for (int i = 0; i < table.count; ++i) {
        const char* own = farRecordPath(table.base + static_cast<size_t>(i) * table.layout->size);
        if (own && liesInFolder(own, folder)) return true;
    }
    return false;
}
