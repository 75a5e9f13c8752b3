#include "folders/previousBuilds.h"

#include "catalogue/folderWalk.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <windows.h>

#include <string.h>

namespace {

const char STORE[] = "Vantorel.previous";

// The plugins folder path lies in, with its backslash, and the folder the
// store of its previous builds is (beside it).
bool storeFor(const char* path, const char** root, char* store, size_t cap) {
    const char* roots[2] = {personalPluginsFolder, pluginsRoot};
    for (const char* candidate : roots) {
        if (!candidate || !*candidate || !startsWithNoCase(path, candidate)) continue;
        // A personal folder inside the plugins folder keeps its builds beside that.
        if (candidate == personalPluginsFolder && pluginsRoot && startsWithNoCase(candidate, pluginsRoot)) continue;
        char parent[MAX_PATH];
        copyText(parent, sizeof parent, candidate);
        setEndSlash(parent, 0, sizeof parent);
        char* slash = strrchr(parent, '\\');
        if (!slash) return false;
        slash[1] = 0;
        copyText(store, cap, parent);
        *root = candidate;
        return appendWhole(store, cap, STORE);
    }
    return false;
}

int addSize(const WIN32_FIND_DATAA* entry, const char*, void* total) {
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *static_cast<unsigned long long*>(total) +=
            (static_cast<unsigned long long>(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow;
    return 0;
}

}  // namespace

bool previousBuildPath(const char* target, char* out, size_t cap) {
    const char* root = nullptr;
    if (!storeFor(target, &root, out, cap)) return false;
    const char* below = target + strlen(root);
    return *below && appendWhole(out, cap, "\\") && appendWhole(out, cap, below);
}

unsigned long long previousBuildsSize() {
    unsigned long long total = 0;
    char store[MAX_PATH];
    const char* root = nullptr;
    if (pluginsRoot && storeFor(pluginsRoot, &root, store, sizeof store)) walkFolder(store, addSize, &total, 1);
    char personal[MAX_PATH];
    if (personalPluginsFolder && storeFor(personalPluginsFolder, &root, personal, sizeof personal) &&
        !equalNoCase(personal, store))
        walkFolder(personal, addSize, &total, 1);
    return total;
}
