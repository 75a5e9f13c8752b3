// The host's plugin cache in the registry: one key per plugin with the DLL's
// path, an ID that changes when the file does, and the exports it has. The
// host reads it at start to avoid loading plugins; here it is kept so that a
// plugin that clears it (or reads it) meets the real thing.
#include "farHost.h"
#include "common/winHandles.h"

#include "interface/entryPoints.h"

#include <shlwapi.h>
#include <stdio.h>

namespace farhost {

namespace {

const char kPluginsCacheKey[] = "SOFTWARE\\Far\\PluginsCache";


bool setText(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// Size and last write time of the file: a replaced DLL gets a new ID.
std::string fileId(const std::string& path) {
    // As the released host writes it: size, creation and write time (low
    // words), in lower-case hex without padding.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "0";
    char id[40];
    snprintf(id, sizeof id, "%lx%lx%lx", static_cast<unsigned long>(data.nFileSizeLow),
             static_cast<unsigned long>(data.ftCreationTime.dwLowDateTime),
             static_cast<unsigned long>(data.ftLastWriteTime.dwLowDateTime));
    return id;
}

}  // namespace

void Host::writePluginsCache() {
    // Written whole each time, so the numbers stay contiguous.
    SHDeleteKeyA(HKEY_CURRENT_USER, kPluginsCacheKey);
    wrotePluginsCache_ = true;
    int number = 0;
    for (const auto& plugin : plugins_) {
        if (!plugin->loaded()) continue;
        std::string path = std::string(kPluginsCacheKey) + "\\Plugin" + std::to_string(number);
        RegKey key, exports;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h,
                            nullptr) != ERROR_SUCCESS ||
            RegCreateKeyExA(key.h, "Exports", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &exports.h, nullptr) !=
                ERROR_SUCCESS) {
            problem("cannot write the plugin cache key HKCU\\" + path);
            return;
        }
        setText(key.h, "Name", plugin->path_);
        setText(key.h, "ID", fileId(plugin->path_));
        const DWORD present = 1;
        for (const char* name : kEntryPoints)
            if (plugin->module() && GetProcAddress(plugin->module(), name))
                RegSetValueExA(exports.h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&present), sizeof present);
        ++number;
    }
    record("> plugin cache written: " + std::to_string(number) + " plugin(s) under HKCU\\" + kPluginsCacheKey);
}

void Host::removePluginsCache() { SHDeleteKeyA(HKEY_CURRENT_USER, kPluginsCacheKey); }

}  // namespace farhost
