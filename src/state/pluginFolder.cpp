#include "state/pluginFolder.h"

#include "runtime/text.h"

#include <string.h>
#include <windows.h>

void cutBinFolder(char* folder) {
    size_t n = strlen(folder);
    if (n > 10 && equalNoCase(folder + n - 5, "\\bin\\")) folder[n - 4] = 0;
}

void pluginFolderOf(const char* dllPath, char* out, bool keepSlash) {
    copyText(out, MAX_PATH, dllPath);
    char* slash = strrchr(out, '\\');
    if (slash) slash[1] = 0;
    cutBinFolder(out);
    if (!keepSlash) setEndSlash(out, 0, MAX_PATH);
}

void sizeFolderOf(const char* dllPath, char* out) {
    copyText(out, MAX_PATH, dllPath);
    char* slash = strrchr(out, '\\');
    if (slash) *slash = 0;
}

bool isSwitchedOff(const char* dllPath) {
    size_t n = strlen(dllPath);
    return n > 8 && equalNoCase(dllPath + n - 8, ".dll.off");
}

bool liesInFolder(const char* path, const char* folder) {
    size_t n = strlen(folder);
    return n && strlen(path) > n + 1 && path[n] == '\\' && startsWithNoCase(path, folder);
}

bool switchedName(const char* dllPath, char* out, size_t cap) {
    size_t n = strlen(dllPath);
    if (isSwitchedOff(dllPath)) {
        copyTextN(out, cap, dllPath, n - (sizeof SWITCHED_OFF_SUFFIX - 1));
        return true;
    }
    copyText(out, cap, dllPath);
    return n > 4 && equalNoCase(dllPath + n - 4, ".dll") && appendWhole(out, cap, SWITCHED_OFF_SUFFIX);
}

const char* fileNameOf(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}
