// A switched-off plugin's slot is held under Vantorel's own key, not in
// FAR's cache key: FAR started with /co takes every key there for a plugin.
#include "farRecords/slotSweep.h"

#include "farRecords/cacheSlot.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"

#include <stdio.h>
#include <string.h>

namespace {

const int MAX_SLOTS = 4096;
const char HELD_SUBKEY[] = "\\J\\Vantorel\\SwitchedOffSlots";

bool openCache(RegistryKey* cache) {
    char keyName[MAX_PATH + 32];
    return hostCacheKeyName(keyName, sizeof keyName) &&
           RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_ALL_ACCESS, cache->out()) == ERROR_SUCCESS;
}

bool openHeld(RegistryKey* held, bool create) {
    char keyName[MAX_PATH + 48];
    if (!startupInfo.RootKey || !startupInfo.RootKey[0]) return false;
    copyText(keyName, sizeof keyName, startupInfo.RootKey);
    if (!appendWhole(keyName, sizeof keyName, HELD_SUBKEY)) return false;
    if (create)
        return RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, held->out(),
                               nullptr) == ERROR_SUCCESS;
    return RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_ALL_ACCESS, held->out()) == ERROR_SUCCESS;
}

bool fileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The first slot of a DLL under folder whose file is gone; -1 when none.
int firstGoneUnder(HKEY cache, const char* folder, char* path, DWORD cap) {
    for (int n = 0; n < MAX_SLOTS && cacheSlotPath(cache, n, path, cap); ++n)
        if (liesInFolder(path, folder) && !fileExists(path)) return n;
    return -1;
}

void holdSlot(HKEY cache, int n) {
    RegistryKey held;
    if (!openHeld(&held, true)) return;
    char from[24], to[24];
    snprintf(from, sizeof from, "Plugin%d", n);
    for (int k = 0; k < MAX_SLOTS; ++k) {
        snprintf(to, sizeof to, "%d", k);
        RegistryKey taken;
        if (RegOpenKeyExA(held.get(), to, 0, KEY_READ, taken.out()) == ERROR_SUCCESS) continue;
        copySlotKey(cache, from, held.get(), to);
        return;
    }
}

// The ID FAR gives a DLL file: its size, creation and write time.
bool fileId(const char* path, char* id, size_t cap) {
    WIN32_FIND_DATAA found;
    FindHandle find(path, &found);
    if (!find.found()) return false;
    snprintf(id, cap, "%lx%lx%lx", static_cast<unsigned long>(found.nFileSizeLow),
             static_cast<unsigned long>(found.ftCreationTime.dwLowDateTime),
             static_cast<unsigned long>(found.ftLastWriteTime.dwLowDateTime));
    return true;
}

bool textValue(HKEY parent, const char* key, const char* name, char* out, DWORD cap) {
    RegistryKey k;
    DWORD type = 0, size = cap - 1;
    if (RegOpenKeyExA(parent, key, 0, KEY_READ, k.out()) != ERROR_SUCCESS ||
        RegQueryValueExA(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    out[size < cap ? size : cap - 1] = 0;
    return true;
}

// Whether the held slot may go back: FAR has a record of the DLL, the cache
// none of it, and the file is the one the slot was written for.
bool mayRestore(HKEY held, const char* key, const char* path, const FarRecordTable& table) {
    CacheSlot slot;
    char heldId[64], id[64];
    return farRecordOf(table, path) && !findCacheSlot(path, &slot) && textValue(held, key, "ID", heldId, sizeof heldId) &&
           fileId(path, id, sizeof id) && !strcmp(heldId, id);
}

}  // namespace

int sweepCacheSlotsUnder(const char* folder, const FarRecordTable& table) {
    RegistryKey cache;
    if (!openCache(&cache)) return 0;
    int removed = 0;
    char path[MAX_PATH + 1], off[MAX_PATH];
    for (int n; removed < MAX_SLOTS && (n = firstGoneUnder(cache.get(), folder, path, sizeof path)) >= 0;) {
        if (switchedName(path, off, sizeof off) && fileExists(off)) holdSlot(cache.get(), n);
        if (!removeCacheSlot(path, &table)) break;
        ++removed;
    }
    return removed;
}

int restoreHeldSlotsUnder(const char* folder, const FarRecordTable& table) {
    RegistryKey held, cache;
    if (!openHeld(&held, false) || !openCache(&cache)) return 0;
    int restored = 0;
    for (DWORD index = 0;;) {
        char key[32], path[MAX_PATH + 1];
        DWORD length = sizeof key;
        if (RegEnumKeyExA(held.get(), index, key, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        char off[MAX_PATH];
        bool under = textValue(held.get(), key, "Name", path, sizeof path) && liesInFolder(path, folder);
        // Still switched off: held on. Neither name: the plugin is gone.
        if (!under || (!fileExists(path) && switchedName(path, off, sizeof off) && fileExists(off))) {
            ++index;
            continue;
        }
        if (fileExists(path) && mayRestore(held.get(), key, path, table)) {
            int count = 0;
            char name[MAX_PATH + 1], last[24];
            while (count < MAX_SLOTS && cacheSlotPath(cache.get(), count, name, sizeof name)) ++count;
            snprintf(last, sizeof last, "Plugin%d", count);
            if (copySlotKey(held.get(), key, cache.get(), last)) ++restored;
        }
        // Deleted: the next held key takes this index.
        if (!deleteKeyTree(held.get(), key)) ++index;
    }
    return restored;
}
