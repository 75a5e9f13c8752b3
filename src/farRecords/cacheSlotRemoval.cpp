// Taking an uninstalled plugin's slot out of FAR's plugin cache. At a start
// that caches some plugin afresh FAR deletes the slots of DLLs that are gone
// and moves the later ones down, after it has given each plugin its slot
// number: a plugin whose number then lies past the last slot finds no slot
// and is missing from FAR's menus until the next start. So the slot goes
// now, the later ones move down as FAR would move them, and FAR's records
// are told their new numbers.
#include "farRecords/cacheSlot.h"

#include "runtime/handles.h"
#include "runtime/text.h"

#include <stdio.h>
#include <string.h>

namespace {

const int MAX_SLOTS = 4096;

void slotName(int n, char* out, size_t cap) { snprintf(out, cap, "Plugin%d", n); }

}  // namespace

bool cacheSlotPath(HKEY cache, int n, char* path, DWORD cap) {
    char name[24];
    slotName(n, name, sizeof name);
    RegistryKey slot;
    if (RegOpenKeyExA(cache, name, 0, KEY_READ, slot.out()) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = cap - 1;
    if (RegQueryValueExA(slot.get(), "Name", nullptr, &type, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS ||
        type != REG_SZ || size <= 1)
        return false;
    path[size < cap ? size : cap - 1] = 0;
    return true;
}

namespace {

// Every value of one key into another.
void copyValues(HKEY from, HKEY to) {
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(from, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        RegSetValueExA(to, name, 0, type, data, dataSize);
    }
}

}  // namespace

bool copySlotKey(HKEY fromParent, const char* from, HKEY toParent, const char* to) {
    deleteKeyTree(toParent, to);
    RegistryKey source, target;
    if (RegOpenKeyExA(fromParent, from, 0, KEY_READ, source.out()) != ERROR_SUCCESS ||
        RegCreateKeyExA(toParent, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.out(), nullptr) != ERROR_SUCCESS)
        return false;
    copyValues(source.get(), target.get());
    RegistryKey sourceExports, targetExports;
    if (RegOpenKeyExA(source.get(), "Exports", 0, KEY_READ, sourceExports.out()) == ERROR_SUCCESS &&
        RegCreateKeyExA(target.get(), "Exports", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, targetExports.out(),
                        nullptr) == ERROR_SUCCESS)
        copyValues(sourceExports.get(), targetExports.get());
    return true;
}

namespace {

// Slot from (with its Exports) becomes slot to.
bool moveSlot(HKEY cache, int from, int to) {
    char fromName[24], toName[24];
    slotName(from, fromName, sizeof fromName);
    slotName(to, toName, sizeof toName);
    return copySlotKey(cache, fromName, cache, toName);
}

}  // namespace

bool removeCacheSlot(const char* path, const FarRecordTable* table) {
    char keyName[MAX_PATH + 32];
    RegistryKey cache;
    if (!hostCacheKeyName(keyName, sizeof keyName) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_ALL_ACCESS, cache.out()) != ERROR_SUCCESS)
        return false;
    int gone = -1, count = 0;
    char name[MAX_PATH + 1];
    while (count < MAX_SLOTS && cacheSlotPath(cache.get(), count, name, sizeof name)) {
        if (gone < 0 && equalNoCase(name, path)) gone = count;
        ++count;
    }
    if (gone < 0) return false;
    for (int n = gone; n + 1 < count; ++n)
        if (!moveSlot(cache.get(), n + 1, n)) return false;
    char last[24];
    slotName(count - 1, last, sizeof last);
    deleteKeyTree(cache.get(), last);
    // FAR's records keep their slot numbers for the menus: they follow.
    for (int i = 0; table && i < table->count; ++i) {
        uint8_t* record = table->base + static_cast<size_t>(i) * table->layout->size;
        uint32_t slot = farRecordWord(record, FAR_RECORD_CACHE_SLOT);
        if (slot == static_cast<uint32_t>(gone)) setFarRecordWord(record, FAR_RECORD_CACHE_SLOT, 0);
        else if (slot > static_cast<uint32_t>(gone)) setFarRecordWord(record, FAR_RECORD_CACHE_SLOT, slot - 1);
    }
    return true;
}
