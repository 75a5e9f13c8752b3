#include "settings/settings.h"

#include "state/pluginState.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

SettingsRecord JConfig = {1, 0, 0, 1, 0, 0};

static const char SETTINGS_SUBKEY[] = "\\J\\Vantorel";
static const char SETTINGS_VALUE[] = "JConfig";
static const unsigned SETTINGS_KEY_CAP = 200;

bool composeSettingsKeyPath(char* out, unsigned cap) {
    out[0] = 0;
    const char* rootKey = startupInfo.RootKey ? startupInfo.RootKey : "";
    // A root key that does not fit is refused rather than cut: a cut path
    // would read or write some other key.
    if (boundedLength(rootKey, cap) >= cap) return false;
    copyText(out, cap, rootKey);
    if (!appendWhole(out, cap, SETTINGS_SUBKEY)) {
        out[0] = 0;
        return false;
    }
    return true;
}

long readSettings() {
    char keyPath[SETTINGS_KEY_CAP];
    if (!composeSettingsKeyPath(keyPath, sizeof keyPath)) return ERROR_BAD_PATHNAME;

    RegistryKey key;
    long status = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.out());
    if (status != ERROR_SUCCESS) return status;

    // Read into a scratch buffer: a value of another type, or longer than the
    // record, leaves the record as it was instead of half-overwritten.
    unsigned char stored[sizeof(SettingsRecord)];
    DWORD type = 0, size = sizeof stored;
    long query = RegQueryValueExA(key.get(), SETTINGS_VALUE, nullptr, &type, stored, &size);
    if (query == ERROR_SUCCESS && type == REG_BINARY && size <= sizeof stored)
        memcpy(&JConfig, stored, size);
    return status;
}

void writeSettings() {
    char keyPath[SETTINGS_KEY_CAP];
    RegistryKey key;
    if (!composeSettingsKeyPath(keyPath, sizeof keyPath) ||
        RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, const_cast<char*>(""), 0, KEY_ALL_ACCESS, nullptr, key.out(),
                        nullptr) != ERROR_SUCCESS) {
        showMsg(MSaveSettingsFailed);
        return;
    }
    RegSetValueExA(key.get(), SETTINGS_VALUE, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&JConfig),
                   sizeof JConfig);
}
