// Unloading a plugin the host has loaded. The host is not told: the question
// is the only safeguard, and the host loads the plugin again when it is next
// used.
#include "commands/pluginCommands.h"

#include "catalogue/probe.h"
#include "catalogue/guardedCall.h"
#include "state/pluginState.h"
#include "ui/messages.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

struct ReleaseCall {
    HMODULE module;
    BOOL released;
};

void callRelease(void* context) {
    ReleaseCall* call = static_cast<ReleaseCall*>(context);
    call->released = releaseLibrary(call->module);
}

HMODULE ownModule() {
    return reinterpret_cast<HMODULE>(&__ImageBase);
}

}  // namespace

void freePluginModule(HMODULE* module) {
    ReleaseCall call = {*module, FALSE};
    // The plugin's own clean-up runs inside the release and may fault.
    if (guardedCall(callRelease, &call)) {
        showMsg(MFreeFault);
        return;
    }
    if (!call.released) {
        showMsg(MFreeFailed);
        return;
    }
    *module = nullptr;
}

void unloadPlugin(HANDLE handle, CatalogueRecord* record) {
    if (!record->module) {
        showMsg(MNotLoaded);
        return;
    }
    // Releasing our own module would pull the code of this command from under it.
    if (record->module == ownModule()) {
        showMsg(MCannotUnloadSelf);
        return;
    }
    if (!startupInfo.Message) return;
    const char* question[3] = {PLUGIN_TITLE, msgText(MAskUnload1), msgText(MAskUnload2)};
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", question, 3, 0) != 0) return;

    HANDLE screen = startupInfo.SaveScreen ? startupInfo.SaveScreen(0, 0, -1, -1) : nullptr;
    const char* notice[2] = {PLUGIN_TITLE, msgText(MUnloading)};
    startupInfo.Message(startupInfo.ModuleNumber, 0, "", notice, 2, 0);
    if (record->module) freePluginModule(&record->module);
    if (startupInfo.RestoreScreen) startupInfo.RestoreScreen(screen);

    if (startupInfo.Control) {
        startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
        startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
    }
}
