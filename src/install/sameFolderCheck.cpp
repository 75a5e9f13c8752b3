#include "install/sameFolderCheck.h"

#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <string.h>

bool liesWithin(const char* path, const char* folder) {
    if (!path || !folder) return false;
    size_t n = boundedLength(folder, MAX_PATH);
    if (n == 0 || folder[n - 1] != '\\') return false;
    size_t length = boundedLength(path, MAX_PATH);
    // The folder's own path, without its final backslash, counts too.
    if (length == n - 1) return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(length),
                                               folder, static_cast<int>(n - 1)) == CSTR_EQUAL;
    return length > n && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(n), folder,
                                        static_cast<int>(n)) == CSTR_EQUAL;
}

bool refuseDropFromPluginFolders(const PluginPanelItem* items, int count) {
    if (!items) return false;
    for (int i = 0; i < count; ++i) {
        // Items of a file panel come by name, relative to the current folder.
        char name[MAX_PATH];
        DWORD n = GetFullPathNameA(items[i].FindData.cFileName, sizeof name, name, nullptr);
        if (n == 0 || n >= sizeof name) continue;
        if (liesWithin(name, pluginsRoot) || liesWithin(name, personalPluginsFolder)) {
            showMsg(MSameFolder);
            return true;
        }
    }
    return false;
}
