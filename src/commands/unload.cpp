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
        // Asked now: the list may be older than what the host has loaded or released since.
        records[i]->module = heldModule(records[i]->dllPath);
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
