#include "catalogue/pluginListing.h"

#include "runtime/folderWalk.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <string.h>

bool isPluginDllName(const char* fileName) {
    // Switched-off plugins are listed too.
    const char* dot = strrchr(fileName, '.');
    return dot && (equalNoCase(dot, ".dll") || isSwitchedOff(fileName));
}

PluginListing::~PluginListing() {
    for (int i = 0; i < dllCount; ++i) heapFree(dlls[i].path);
    heapFree(dlls);
}

void PluginListing::keep(const WIN32_FIND_DATAA* entry, const char* folder) {
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) return;
    if (dllCount == capacity) {
        int wanted = capacity ? capacity * 2 : 64;
        Dll* bigger = heapArray<Dll>(static_cast<size_t>(wanted));
        if (!bigger) return;
        if (dllCount) memcpy(bigger, dlls, sizeof(Dll) * static_cast<size_t>(dllCount));
        heapFree(dlls);
        dlls = bigger;
        capacity = wanted;
    }
    char* copy = heapDup(path);
    if (!copy) return;
    dlls[dllCount].path = copy;
    memcpy(&dlls[dllCount].found, entry, sizeof *entry);
    ++dllCount;
}

int PluginListing::visit(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    PluginListing* listing = static_cast<PluginListing*>(context);
    bool isFolder = (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (listing->counting) {
        if (!isFolder) listing->seen.addFile(folder, entry->cFileName, entry->nFileSizeLow);
        else if (entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) listing->seen.addLink(folder);
    }
    if (!isFolder && isPluginDllName(entry->cFileName)) listing->keep(entry, folder);
    return 0;
}

void PluginListing::discover() {
    char top[MAX_PATH];
    copyText(top, sizeof top, pluginsRoot);
    setEndSlash(top, 1, sizeof top);
    counting = true;
    walkFolder(top, visit, this, 1);
    seen.finish(top);
    counting = false;
    if (personalPluginsFolder) walkFolder(personalPluginsFolder, visit, this, 1);
}
