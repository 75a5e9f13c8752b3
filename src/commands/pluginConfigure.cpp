// Running a plugin's own configuration from the panel. The plugin sees the
// order of calls it would see from the host: SetStartupInfo (only when it is
// loaded for this command), GetPluginInfo, then Configure.
#include "commands/pluginCommands.h"

#include "guard/guardedCall.h"
#include "foreign/probe.h"
#include "foreign/substituteMessages.h"
#include "ui/messages.h"

#include <string.h>

namespace {

struct ConfigureCall {
    PFN_Configure fn;
};

void callConfigure(void* context) {
    static_cast<ConfigureCall*>(context)->fn(0);
}

}  // namespace

void configurePlugin(const CatalogueRecord* record) {
    // A plugin the process holds already is the host's: used as it is.
    HMODULE module = heldModule(record->dllPath);
    bool loadedHere = false;
    if (!module) {
        module = loadForeignLibrary(record->dllPath);
        loadedHere = module != nullptr;
    }
    if (!module) {
        showLoadFailure(record);
        return;
    }
    auto configure = reinterpret_cast<PFN_Configure>(GetProcAddress(module, "Configure"));
    if (!configure) {
        showMsg(MNoConfigure);
    } else {
        PluginInfo scratch;
        probePlugin(record->dllPath, module, &scratch, loadedHere);
        ConfigureCall call = {configure};
        if (guardedCall(callConfigure, &call)) showMsg(MConfigureFailed);
    }
    // Ended as the host ends a plugin, so that what it loaded goes with it;
    // its ExitFAR may still ask for its texts.
    if (loadedHere) releasePlugin(module);
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
}
