// The work behind SetStartupInfo and GetPluginInfo: the calls that place the
// plugin in the host before any panel is open.
#include "entry/startup.h"

#include "state/pluginState.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "settings/settings.h"
#include "ui/messages.h"

#include <string.h>

static char pluginsRootBuffer[MAX_PATH];
static char personalFolderBuffer[MAX_PATH];

// The personal plugins folder is the host's "PersonalPluginsPath" value in the
// "System" key beside the plugins' root key.
static void derivePersonalFolder() {
    personalPluginsFolder = nullptr;
    const char* rootKey = startupInfo.RootKey;
    if (!rootKey || boundedLength(rootKey, MAX_PATH) >= MAX_PATH) return;

    char keyPath[MAX_PATH];
    copyText(keyPath, sizeof keyPath, rootKey);
    char* slash = strrchr(keyPath, '\\');
    if (slash) slash[1] = 0; else keyPath[0] = 0;
    if (!appendWhole(keyPath, sizeof keyPath, "System")) return;

    RegistryKey reg;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, reg.out()) != ERROR_SUCCESS) return;

    // A value of 259 characters with its terminator fills 260 bytes; one that
    // lacks its terminator gets one in the spare byte and is then too long.
    char value[MAX_PATH + 1];
    memset(value, 0, sizeof value);
    DWORD type = 0, size = MAX_PATH;
    if (RegQueryValueExA(reg.get(), "PersonalPluginsPath", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || strlen(value) >= MAX_PATH) return;
    char* folder = personalFolderBuffer;
    copyText(folder, MAX_PATH, value);

    if (standardFunctions.Trim) standardFunctions.Trim(folder);
    if (!*folder) return;
    personalPluginsFolder = folder;
    if (standardFunctions.ExpandEnvironmentStr)
        standardFunctions.ExpandEnvironmentStr(folder, folder, MAX_PATH);
    folder[MAX_PATH - 1] = 0;
    setEndSlash(folder, 1, MAX_PATH);
}

void WINAPI placeInHost(const PluginStartupInfo* info) {
    if (!info) return;
    memcpy(&startupInfo, info, sizeof startupInfo);
    memset(&standardFunctions, 0, sizeof standardFunctions);
    // Copy no more than the host's table holds: its size differs between builds.
    if (info->FSF) {
        size_t size = info->FSF->StructSize > 0 ? static_cast<size_t>(info->FSF->StructSize) : 0;
        memcpy(&standardFunctions, info->FSF, size < sizeof standardFunctions ? size : sizeof standardFunctions);
    }
    startupInfo.FSF = &standardFunctions;
    // The host's buffer is 260 bytes; never trust it to be terminated.
    startupInfo.ModuleName[MAX_PATH - 1] = 0;

    deriveCacheFilePath(startupInfo.ModuleName, cacheFilePath);
    derivePersonalFolder();
    pluginsRoot = derivePluginsRoot(startupInfo.ModuleName, pluginsRootBuffer);
    readSettings();
}

void WINAPI describePlugin(PluginInfo* info) {
    // The host reads these after the call returns.
    static const char* menuStrings[1];
    static int diskMenuNumber;
    if (!info) return;
    menuStrings[0] = PLUGIN_TITLE;

    info->StructSize = sizeof(PluginInfo);
    info->Flags = 0;
    info->DiskMenuStrings = menuStrings;
    diskMenuNumber = JConfig.diskMenuNumber;
    info->DiskMenuNumbers = (diskMenuNumber >= 0 && diskMenuNumber <= 9) ? &diskMenuNumber : nullptr;
    info->DiskMenuStringsNumber = JConfig.showInDiskMenu ? 1 : 0;
    info->PluginMenuStrings = JConfig.showInPluginsMenu ? menuStrings : nullptr;
    info->PluginMenuStringsNumber = JConfig.showInPluginsMenu ? 1 : 0;
    info->PluginConfigStrings = menuStrings;
    info->PluginConfigStringsNumber = 1;
}
