// The registry root the host lends its plugins (RootKey), made when it
// starts and removed at its end with the plugin cache it wrote.
#include "core/host.h"
#include "common/winHandles.h"

#include <shlwapi.h>

namespace farhost {

namespace {

bool createKey(const std::string& path, bool* existed = nullptr) {
    RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h,
                        &disposition) != ERROR_SUCCESS)
        return false;
    if (existed) *existed = disposition == REG_OPENED_EXISTING_KEY;
    return true;
}

}  // namespace

void Host::makeRegistryRoot() {
    if (options_.rootKey.empty()) {
        // A fresh base per host, so that tests sharing one Wine registry never meet.
        static LONG counter = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string base = "Software\\VantorelTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(InterlockedIncrement(&counter));
            bool existed = false;
            if (!createKey(base, &existed)) break;
            if (existed) continue;
            registryBase_ = base;
            options_.rootKey = base + "\\Far\\Plugins";
            break;
        }
        if (options_.rootKey.empty()) options_.rootKey = "Software\\VantorelTests\\unnamed\\Far\\Plugins";
    }
    createKey(options_.rootKey);
    if (options_.writePersonalPath) {
        size_t cut = options_.rootKey.find_last_of('\\');
        std::string systemKey = cut == std::string::npos ? "System" : options_.rootKey.substr(0, cut) + "\\System";
        RegKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, systemKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h,
                            nullptr) == ERROR_SUCCESS) {
            const std::string& value = options_.personalPluginsPath;
            RegSetValueExA(key.h, "PersonalPluginsPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        } else {
            problem("cannot write PersonalPluginsPath under HKCU\\" + systemKey);
        }
    }
}

void Host::removeRegistry() {
    if (options_.removeRegistryOnExit && wrotePluginsCache_) removePluginsCache();
    if (options_.removeRegistryOnExit && !registryBase_.empty())
        SHDeleteKeyA(HKEY_CURRENT_USER, registryBase_.c_str());
}

}  // namespace farhost
