// Unloading a plugin the host has loaded. The host keeps the addresses of a
// loaded plugin's exports and calls through them; its record of the plugin is
// cleared first, as the host does when it drops a faulting plugin, so that it
// calls nothing of it again until it is restarted. Only then is the module
// released.
#include "farRecords/pluginRelease.h"

#include "farRecords/recordByHandle.h"
#include "farRecords/recordTable.h"
#include "farRecords/unloadedPlugins.h"
#include "foreign/probe.h"
#include "guard/guardedCall.h"
#include "state/panelState.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <string.h>

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

// Whether the other half of the host shows a panel that is not one of ours.
// The host says only that some plugin owns it; while it answers it asks that
// plugin's GetOpenPluginInfo, which tells ours from a foreign one. Whose a
// foreign panel is cannot be told, so any foreign panel counts.
bool foreignPanelOpposite(HANDLE handle) {
    if (!startupInfo.Control) return false;
    PanelInfo info;
    memset(&info, 0, sizeof info);
    lastInfoAsked = nullptr;
    if (!startupInfo.Control(handle, FCTL_GETANOTHERPANELINFO, &info) || !info.Plugin) return false;
    return !(lastInfoAsked && lastInfoAsked != handle && findPanelState(lastInfoAsked));
}

}  // namespace

void freePluginModule(HMODULE* module) {
    // Ended as the host ends a plugin at its quit, so that the helper
    // modules it loaded for itself go with it.
    callPluginExit(*module);
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

int unloadRefusal(HANDLE handle, HMODULE module) {
    // Releasing our own module would pull the code of this command from under it.
    if (module == ownModule()) return MCannotUnloadSelf;
    // The host calls an open panel's plugin at once, whatever its record
    // says; a plugin that can open no panel owns none.
    bool opensPanels = GetProcAddress(module, "OpenPlugin") || GetProcAddress(module, "OpenFilePlugin");
    if (opensPanels && foreignPanelOpposite(handle)) return MUnloadPanelOpen;
    return 0;
}

bool releaseFromHost(HMODULE* module, const char* path) {
    // A release the host is not told of must never happen: without its record
    // found for certain, nothing is written and nothing released.
    FarRecordTable table;
    switch (findFarRecordTable(&table)) {
    case FAR_TABLE_FOUND: {
        // On a build whose records are known: the record of this path, with
        // this module's handle and entry points, and no other.
        uint8_t* record = farRecordOf(table, path);
        uint32_t addresses[FRE_COUNT];
        entryAddresses(*module, addresses);
        uint32_t handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(*module));
        if (!record || !recordOfLoadedModule(record, *table.layout, path, handle, addresses)) return false;
        clearLoadedRecord(record, *table.layout);
        rememberUnloaded(path, record);
        break;
    }
    case FAR_TABLE_UNKNOWN_BUILD:
        // Elsewhere the record is told by the handle and the addresses after it.
        if (detachFromHost(*module) != HOST_RECORD_CLEARED) return false;
        rememberUnloaded(path, nullptr);
        break;
    default: return false;
    }
    freePluginModule(module);
    return true;
}
