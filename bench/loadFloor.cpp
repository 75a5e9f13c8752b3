// The load floor: the listing, then each DLL loaded by its full path, asked
// what a probe asks in a minimal host, and released.
#include "scanFloors.h"

#include "farHost.h"

#include <string.h>

using namespace farhost::api;

namespace {

const char* WINAPI noMessage(int, int) { return ""; }

}  // namespace

int loadFloor(const std::string& pluginsRoot) {
    std::vector<std::string> dlls;
    listDlls(pluginsRoot, &dlls);
    for (const std::string& dll : dlls) {
        HMODULE module = LoadLibraryExA(dll.c_str(), nullptr, 0);
        if (!module) continue;
        auto setStartupInfo = reinterpret_cast<PFN_SetStartupInfo>(GetProcAddress(module, "SetStartupInfo"));
        auto getPluginInfo = reinterpret_cast<PFN_GetPluginInfo>(GetProcAddress(module, "GetPluginInfo"));
        auto exitFar = reinterpret_cast<PFN_ExitFAR>(GetProcAddress(module, "ExitFAR"));
        if (setStartupInfo) {
            PluginStartupInfo info;
            memset(&info, 0, sizeof info);
            info.StructSize = sizeof info;
            strncpy(info.ModuleName, dll.c_str(), sizeof info.ModuleName - 1);
            info.GetMsg = noMessage;
            setStartupInfo(&info);
        }
        if (getPluginInfo) {
            PluginInfo answer;
            memset(&answer, 0, sizeof answer);
            getPluginInfo(&answer);
        }
        if (exitFar) exitFar();
        FreeLibrary(module);
    }
    return static_cast<int>(dlls.size());
}
