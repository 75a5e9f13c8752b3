#include "modules/moduleLiveness.h"

#include "common/hostText.h"

#include <psapi.h>

#include <vector>

namespace farhost {

bool moduleStillLoaded(HMODULE module, const std::string& path) {
    if (!module) return false;
    // The module list first: GetModuleFileName alone would also answer for an
    // address inside some other module.
    HANDLE process = GetCurrentProcess();
    std::vector<HMODULE> modules(256);
    DWORD needed = 0;
    for (;;) {
        DWORD bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModules(process, modules.data(), bytes, &needed)) return false;
        if (needed <= bytes) break;
        modules.resize(needed / sizeof(HMODULE) + 16);
    }
    bool listed = false;
    for (size_t i = 0; i < needed / sizeof(HMODULE) && !listed; ++i) listed = modules[i] == module;
    if (!listed) return false;
    char name[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
    return n > 0 && n < MAX_PATH && equalNoCase(name, path);
}

}  // namespace farhost
