#include "farRecords/hostCacheMenus.h"

#include "farRecords/cacheSlot.h"
#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <stdio.h>
#include <string.h>

void hostCacheId(char* out, size_t cap, const WIN32_FIND_DATAA& found) {
    snprintf(out, cap, "%lx%lx%lx", static_cast<unsigned long>(found.nFileSizeLow),
             static_cast<unsigned long>(found.ftCreationTime.dwLowDateTime),
             static_cast<unsigned long>(found.ftLastWriteTime.dwLowDateTime));
}

struct HostCacheIndex::Slot {
    char name[MAX_PATH];
    char id[28];
    bool preload;
    bool menusRead;   // false: a menu string could not be read whole
    uint32_t hash;
    HostCacheMenus menus;
};

namespace {

// Far beyond any FAR installation's plugin count.
const int MAX_SLOTS = 4096;
// A menu string longer than this is not taken from the cache: the plugin is
// asked instead.
const DWORD MENU_TEXT_CHARS = 1023;

enum TextRead { TEXT_ABSENT, TEXT_READ, TEXT_UNREADABLE };

TextRead readText(HKEY key, const char* name, char* out, DWORD cap) {
    DWORD type = 0, size = cap - 1;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    if (rc == ERROR_FILE_NOT_FOUND) return TEXT_ABSENT;
    if (rc != ERROR_SUCCESS || type != REG_SZ) return TEXT_UNREADABLE;
    out[size < cap ? size : cap - 1] = 0;
    return TEXT_READ;
}

// FAR compares names without regard to case: so does the hash.
uint32_t nameHash(const char* name) {
    uint32_t h = 2166136261u;
    for (; *name; ++name) h = (h ^ static_cast<unsigned char>(lowerAscii(*name))) * 16777619u;
    return h;
}

void slotKeyName(int n, char* out, size_t cap) { snprintf(out, cap, "Plugin%d", n); }

// Only the first list present counts for a description: the later ones are
// not read.
bool readMenus(HKEY key, HostCacheMenus* out) {
    static const char* const FIRST[3] = {"DiskMenuString0", "PluginMenuString0", "PluginConfigString0"};
    for (int k = 0; k < 3; ++k) {
        char text[MENU_TEXT_CHARS + 1];
        TextRead read = readText(key, FIRST[k], text, sizeof text);
        if (read == TEXT_UNREADABLE) return false;
        if (read == TEXT_ABSENT) continue;
        out->counts[k] = 1;
        copyText(out->texts[k], sizeof out->texts[k], text);
        return true;
    }
    return true;
}

}  // namespace

HostCacheIndex::~HostCacheIndex() {
    heapFree(slots_);
    heapFree(table_);
}

bool HostCacheIndex::read() {
    char keyName[MAX_PATH + 32];
    RegistryKey cache;
    if (!hostCacheKeyName(keyName, sizeof keyName) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, cache.out()) != ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(cache.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS || subkeys == 0)
        return false;
    int capacity = subkeys < MAX_SLOTS ? static_cast<int>(subkeys) : MAX_SLOTS;
    uint32_t tableSize = 4;
    while (tableSize < 2u * capacity) tableSize <<= 1;
    slots_ = heapArray<Slot>(capacity);
    table_ = heapArray<int>(tableSize);
    if (!slots_ || !table_) return false;
    mask_ = tableSize - 1;
    // As FAR reads its cache: slots from 0 up to the first without a Name.
    for (; count_ < capacity; ++count_) {
        char slotName[24];
        slotKeyName(count_, slotName, sizeof slotName);
        RegistryKey key;
        if (RegOpenKeyExA(cache.get(), slotName, 0, KEY_READ, key.out()) != ERROR_SUCCESS) break;
        Slot& s = slots_[count_];
        TextRead name = readText(key.get(), "Name", s.name, sizeof s.name);
        if (name == TEXT_ABSENT || (name == TEXT_READ && !s.name[0])) break;
        // A Name too long for any path found on disk matches nothing.
        if (name == TEXT_UNREADABLE) {
            s.name[0] = 0;
            continue;
        }
        if (readText(key.get(), "ID", s.id, sizeof s.id) != TEXT_READ) s.id[0] = 0;
        DWORD preload = 0, size = sizeof preload, type = 0;
        s.preload = RegQueryValueExA(key.get(), "Preload", nullptr, &type, reinterpret_cast<BYTE*>(&preload), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_DWORD && preload != 0;
        // Each slot is opened once: the registry's round trips are most of
        // what a scan that loads nothing spends on FAR's cache.
        s.menusRead = !s.preload && readMenus(key.get(), &s.menus);
        s.hash = nameHash(s.name);
        uint32_t at = s.hash & mask_;
        while (table_[at]) at = (at + 1) & mask_;
        table_[at] = count_ + 1;
    }
    return count_ > 0;
}

int HostCacheIndex::find(const char* path, const WIN32_FIND_DATAA& found, bool* preload) const {
    *preload = false;
    if (!count_) return -1;
    char id[28];
    hostCacheId(id, sizeof id, found);
    uint32_t hash = nameHash(path);
    int best = -1;
    for (uint32_t at = hash & mask_; table_[at]; at = (at + 1) & mask_) {
        int n = table_[at] - 1;
        const Slot& s = slots_[n];
        if (s.hash != hash || (best >= 0 && n > best) || !equalNoCase(s.name, path) || strcmp(s.id, id)) continue;
        best = n;
    }
    if (best >= 0) *preload = slots_[best].preload;
    return best;
}

bool HostCacheIndex::menus(int slot, HostCacheMenus* out) const {
    if (slot < 0 || slot >= count_ || !slots_[slot].menusRead) return false;
    memcpy(out, &slots_[slot].menus, sizeof *out);
    return true;
}
