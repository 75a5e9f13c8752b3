// The six-byte settings record and its storage in the registry.
#pragma once

#pragma pack(push, 1)
struct SettingsRecord {
    signed char showInDiskMenu;
    signed char showInPluginsMenu;
    signed char diskMenuNumber;
    signed char startView;
    signed char skipProbing;
    signed char markLoaded;
};
#pragma pack(pop)
static_assert(sizeof(SettingsRecord) == 6, "settings record");

extern SettingsRecord JConfig;

// Reads the stored record over the one in memory; returns the status of
// opening the key (0 when opened).
long readSettings();
// Stores the whole record; reports a key that cannot be created.
void writeSettings();
// Composes RootKey + "\J\Vantorel"; false when it does not fit cap.
bool composeSettingsKeyPath(char* out, unsigned cap);
