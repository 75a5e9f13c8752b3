// The host keeps what it learnt about each plugin in the registry; deleting
// that cache makes it examine every plugin afresh at its next start.
#include "commands/pluginCommands.h"

#include "commands/hostCacheSlot.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

namespace {

const char HOST_PLUGIN_CACHE[] = "SOFTWARE\\Far\\PluginsCache";
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

void clearHostPluginCache() {
    if (!startupInfo.Message) return;
    const char* question[2] = {PLUGIN_TITLE, msgText(MAskClearCache)};
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", question, 2, 0) != 0) return;
    char cacheKey[MAX_PATH + 32];
    // FAR's own key, also when FAR runs with a user's registry root (/u).
    if (!hostCacheKeyName(cacheKey, sizeof cacheKey)) copyText(cacheKey, sizeof cacheKey, HOST_PLUGIN_CACHE);
    showMsg(deleteKeyTree(HKEY_CURRENT_USER, cacheKey) ? MCacheCleared : MClearCacheFailed);
}
