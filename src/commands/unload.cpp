// Shift+Del: unloading the plugins the host has loaded, after one question.
#include "commands/pluginCommands.h"

#include "commands/commandBoxes.h"

#include "foreign/probe.h"
#include "state/pluginFolder.h"
#include "farRecords/pluginRelease.h"
#include "farRecords/recordTable.h"
#include "farRecords/unloadedPlugins.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/panelState.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

// Plugin lines a question for several plugins shows.
constexpr int SHOWN_PLUGINS = 12;

bool askUnload(CatalogueRecord* const* loaded, int count) {
    // On a FAR build whose records are known the plugins can come back at once.
    bool known = farRecordLayout(hostFarVersion()) != nullptr;
    int afterwards = count == 1 ? (known ? MUnloadBackWithReload : MAskUnload2)
                                : (known ? MUnloadBackWithReloadMany : MAskUnload2Many);
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
    Refused* refused = heapArray<Refused>(1);
    if (!loaded || !refused) {
        heapFree(loaded);
        heapFree(refused);
        return;
    }
    // Each plugin is unloaded or passed over with its reason; refusals that
    // need no question come before it.
    int n = 0, lastRefusal = 0;
    for (int i = 0; i < count; ++i) {
        // Asked now: the list may be older than what the host has loaded or released since.
        records[i]->module = heldModule(records[i]->dllPath);
        int refusal = records[i]->module ? unloadRefusal(handle, records[i]->module) : MNotLoaded;
        if (!refusal) {
            loaded[n++] = records[i];
        } else if (refusal != MNotLoaded || count == 1) {
            // Plugins FAR has not loaded are simply not unloaded.
            refused->add(records[i]->dllPath, refusal);
            lastRefusal = refusal;
        }
    }
    if (!n && count == 1) {
        showMsg(lastRefusal);
    } else if (!n) {
        if (refused->count) tellRefused(*refused, 0, 0);
        else showMsg(MNotLoaded);
    } else if (askUnload(loaded, n)) {
        HANDLE screen = startupInfo.SaveScreen ? startupInfo.SaveScreen(0, 0, -1, -1) : nullptr;
        const char* notice[2] = {PLUGIN_TITLE, msgText(MUnloading)};
        startupInfo.Message(startupInfo.ModuleNumber, 0, "", notice, 2, 0);
        bool released = true;
        for (int i = 0; i < n; ++i) released = releaseFromHost(&loaded[i]->module, loaded[i]->dllPath) && released;
        if (startupInfo.RestoreScreen) startupInfo.RestoreScreen(screen);
        if (!released) showMsg(MHostRecordNotFound);
        tellRefused(*refused, n, MUnloadedCount);
        if (startupInfo.Control) {
            startupInfo.Control(handle, FCTL_UPDATEPANEL, nullptr);
            startupInfo.Control(handle, FCTL_REDRAWPANEL, nullptr);
        }
    }
    heapFree(loaded);
    heapFree(refused);
}
