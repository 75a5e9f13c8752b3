#include "farRecords/cacheSlot.h"

#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <stdio.h>
#include <string.h>

namespace {

const char PLUGINS_TAIL[] = "\\Plugins";
// Far beyond any FAR installation's plugin count.
const int MAX_SLOTS = 4096;

}  // namespace

bool hostCacheKeyName(char* out, size_t cap) {
    if (!startupInfo.RootKey || !startupInfo.RootKey[0]) return false;
    copyText(out, cap, startupInfo.RootKey);
    size_t n = strlen(out), tail = sizeof PLUGINS_TAIL - 1;
    if (n <= tail || !equalNoCase(out + n - tail, PLUGINS_TAIL)) return false;
    out[n - tail] = 0;
    return appendWhole(out, cap, "\\PluginsCache");
}

namespace {

DWORD dwordValue(HKEY key, const char* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

}  // namespace

bool findCacheSlot(const char* path, CacheSlot* slot) {
    memset(slot, 0, sizeof *slot);
    char keyName[MAX_PATH + 32];
    RegistryKey cache;
    if (!hostCacheKeyName(keyName, sizeof keyName) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, cache.out()) != ERROR_SUCCESS)
        return false;
    for (int n = 0; n < MAX_SLOTS; ++n) {
        char slotName[24];
        snprintf(slotName, sizeof slotName, "Plugin%d", n);
        RegistryKey plugin;
        if (RegOpenKeyExA(cache.get(), slotName, 0, KEY_READ, plugin.out()) != ERROR_SUCCESS) return false;
        char name[MAX_PATH + 1];
        DWORD size = MAX_PATH, type = 0;
        if (RegQueryValueExA(plugin.get(), "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) !=
                ERROR_SUCCESS || type != REG_SZ)
            return false;
        name[size < MAX_PATH ? size : MAX_PATH] = 0;
        if (!equalNoCase(name, path)) continue;
        slot->index = n;
        slot->preload = dwordValue(plugin.get(), "Preload") != 0;
        RegistryKey exports;
        if (RegOpenKeyExA(plugin.get(), "Exports", 0, KEY_READ, exports.out()) == ERROR_SUCCESS)
            slot->sysId = dwordValue(exports.get(), "SysID");
        return true;
    }
    return false;
}

namespace {

const DWORD SUBKEY_NAME_CHARS = 100;

}  // namespace

int deleteKeyTree(HKEY parent, const char* name) {
    if (RegDeleteKeyA(parent, name) == ERROR_SUCCESS) return 1;
    bool allDeleted = true;
    {
    RegistryKey key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) return 0;
    DWORD index = 0;
    for (;;) {
        char subkey[SUBKEY_NAME_CHARS];
        DWORD length = SUBKEY_NAME_CHARS;
        // Ends at the last subkey, and at a name longer than the buffer.
        if (RegEnumKeyExA(key.get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        // After a deletion the next subkey moves into this index.
        if (!deleteKeyTree(key.get(), subkey)) {
            allDeleted = false;
            ++index;
        }
    }
    }
    if (!allDeleted) return 0;
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS ? 1 : 0;
}
