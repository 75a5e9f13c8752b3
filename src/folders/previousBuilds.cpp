#include "folders/previousBuilds.h"

#include "runtime/folderWalk.h"
#include "folders/besidePlugins.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <windows.h>

#include <string.h>

namespace {

const char STORE[] = "Vantorel.previous";

int addSize(const WIN32_FIND_DATAA* entry, const char*, void* total) {
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *static_cast<unsigned long long*>(total) +=
            (static_cast<unsigned long long>(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow;
    return 0;
}

}  // namespace

bool previousBuildPath(const char* target, char* out, size_t cap) {
    const char* root = nullptr;
    if (!besidePluginsFolder(target, STORE, out, cap, &root) || !root) return false;
    const char* below = target + strlen(root);
    return *below && appendWhole(out, cap, "\\") && appendWhole(out, cap, below);
}

unsigned long long previousBuildsSize() {
    unsigned long long total = 0;
    char store[MAX_PATH] = "", personal[MAX_PATH] = "";
    if (pluginsRoot && besidePluginsFolder(pluginsRoot, STORE, store, sizeof store)) walkFolder(store, addSize, &total, 1);
    if (personalPluginsFolder && besidePluginsFolder(personalPluginsFolder, STORE, personal, sizeof personal) &&
        !equalNoCase(personal, store))
        walkFolder(personal, addSize, &total, 1);
    return total;
}
