// Unloading a plugin the host has loaded. The host keeps the addresses of a
// loaded plugin's exports and calls through them; its record of the plugin is
// cleared first, as the host does when it drops a faulting plugin, so that it
// calls nothing of it again until it is restarted. Only then is the module
// released.
#include "commands/pluginCommands.h"

#include "commands/commandBoxes.h"

#include "foreign/probe.h"
#include "guard/guardedCall.h"
#include "state/pluginFolder.h"
#include "commands/hostRecord.h"
#include "commands/hostRecordTable.h"
#include "state/unloadedPlugins.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/panelState.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
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

// The module the DLL of this path is loaded under now: the list may be older
// than what the host has loaded or released since.
HMODULE loadedModuleOf(const char* dllPath) {
    return heldModule(dllPath);
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

namespace {

// Plugin lines a question for several plugins shows.
constexpr int SHOWN_PLUGINS = 12;

bool askUnload(CatalogueRecord* const* loaded, int count) {
    // On a FAR build whose records are known the plugins can come back at once.
    int afterwards = farRecordLayout(hostFarVersion()) ? MUnloadBackWithReload : MAskUnload2;
    BoxLine lines[SHOWN_PLUGINS + 1];
    const char* items[SHOWN_PLUGINS + 5];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    if (count == 1) {
        char folder[MAX_PATH];
        pluginFolderOf(loaded[0]->dllPath, folder, false);
        items[n++] = msgText(MAskUnload1);
        cutMiddle(lines[0], BOX_TEXT_CHARS, folder);
        items[n++] = lines[0];
        items[n++] = fileNameOf(loaded[0]->dllPath);
    } else {
        items[n++] = msgText(MAskUnloadMany);
        const char* paths[SHOWN_PLUGINS];
        for (int i = 0; i < count && i < SHOWN_PLUGINS; ++i) paths[i] = loaded[i]->dllPath;
        n = addPathLines(paths, count, SHOWN_PLUGINS, lines, items, n);
    }
    items[n++] = msgText(afterwards);
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", items, n, 0) == 0;
}

}  // namespace

void unloadPlugins(HANDLE handle, CatalogueRecord* const* records, int count) {
    if (!startupInfo.Message || count <= 0) return;
    CatalogueRecord** loaded = heapArray<CatalogueRecord*>(static_cast<size_t>(count));
    if (!loaded) return;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        records[i]->module = loadedModuleOf(records[i]->dllPath);
        if (records[i]->module) loaded[n++] = records[i];
    }
    int refusal = n ? 0 : MNotLoaded;
    for (int i = 0; i < n && !refusal; ++i) refusal = unloadRefusal(handle, loaded[i]->module);
    if (refusal) {
        showMsg(refusal);
    } else if (askUnload(loaded, n)) {
        HANDLE screen = startupInfo.SaveScreen ? startupInfo.SaveScreen(0, 0, -1, -1) : nullptr;
        const char* notice[2] = {PLUGIN_TITLE, msgText(MUnloading)};
        startupInfo.Message(startupInfo.ModuleNumber, 0, "", notice, 2, 0);
        bool released = true;
        for (int i = 0; i < n; ++i) released = releaseFromHost(&loaded[i]->module, loaded[i]->dllPath) && released;
        if (startupInfo.RestoreScreen) startupInfo.RestoreScreen(screen);
        if (!released) showMsg(MHostRecordNotFound);
        if (startupInfo.Control) {
            startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
            startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
        }
    }
    heapFree(loaded);
}
