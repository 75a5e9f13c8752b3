#include "folders/besidePlugins.h"

#include "folders/fileOps.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char STAGING[] = "Vantorel.staging\\";
unsigned stagingSerial;

bool startsWithFolder(const char* path, const char* folder) {
    return folder && *folder && startsWithNoCase(path, folder);
}

bool stagingRootFor(const char* target, char* out, size_t cap) {
    return besidePluginsFolder(target, STAGING, out, cap);
}

// A fresh folder name in the staging folder; made when create is set.
bool makeUnique(const char* target, const char* prefix, char* out, size_t cap) {
    char root[MAX_PATH];
    if (!stagingRootFor(target, root, sizeof root)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES && !fsMakeFolder(root) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        snprintf(name, sizeof name, "%s%lx-%u", prefix, static_cast<unsigned long>(GetCurrentProcessId()),
                 ++stagingSerial);
        copyText(out, cap, root);
        if (!appendWhole(out, cap, name)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        if (GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES) continue;
        if (fsMakeFolder(out)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

}  // namespace

bool besidePluginsFolder(const char* path, const char* name, char* out, size_t cap, const char** chosen) {
    // A personal folder inside the plugins tree counts as the plugins tree.
    bool personal = startsWithFolder(path, personalPluginsFolder) &&
                    !startsWithFolder(personalPluginsFolder, pluginsRoot);
    const char* root = personal ? personalPluginsFolder : pluginsRoot;
    if (!startsWithFolder(path, root)) root = path;
    if (chosen) *chosen = root == path ? nullptr : root;
    char parent[MAX_PATH];
    copyText(parent, sizeof parent, root);
    setEndSlash(parent, 0, sizeof parent);
    char* slash = strrchr(parent, '\\');
    if (!slash) return false;
    slash[1] = 0;
    copyText(out, cap, parent);
    return appendWhole(out, cap, name);
}

bool makeStagingFolder(const char* target, char* staged, size_t cap) {
    return makeUnique(target, "new-", staged, cap);
}

bool makeAsideHolder(const char* target, char* holder, size_t cap) {
    return makeUnique(target, "old-", holder, cap);
}

bool liesInStaging(const char* path) { return findNoCase(path, "\\Vantorel.staging\\") != nullptr; }

void tidyStagingFolders() {
    const char* roots[2] = {pluginsRoot, personalPluginsFolder};
    for (const char* root : roots) {
        char folder[MAX_PATH];
        if (root && *root && stagingRootFor(root, folder, sizeof folder) &&
            GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES)
            fsRemoveEmptyFolder(folder);
    }
}

bool journalPathFor(const char* path, char* out, size_t cap) {
    return besidePluginsFolder(path, "Vantorel.journal", out, cap);
}

int journalPaths(char (*out)[260], int cap) {
    const char* roots[2] = {pluginsRoot, personalPluginsFolder};
    int n = 0;
    for (const char* root : roots) {
        if (n == cap || !root || !*root || !journalPathFor(root, out[n], MAX_PATH)) continue;
        if (n && equalNoCase(out[0], out[n])) continue;
        ++n;
    }
    return n;
}
