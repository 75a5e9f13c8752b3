#include "catalogue/pluginDiscovery.h"

#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"

#include <string.h>

int collectDll(const WIN32_FIND_DATAA* entry, const char* folder, void* stack) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    // Switched-off plugins are listed too.
    const char* dot = strrchr(entry->cFileName, '.');
    if (!dot || (!equalNoCase(dot, ".dll") && !isSwitchedOff(entry->cFileName))) return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) return 0;
    char* copy = heapDup(path);
    if (!copy) return 0;
    static_cast<JStack*>(stack)->push(copy);
    return 1;
}

void discoverPlugins(JStack* stack) {
    walkFolder(pluginsRoot, collectDll, stack, 1);
    if (personalPluginsFolder) walkFolder(personalPluginsFolder, collectDll, stack, 1);
}
