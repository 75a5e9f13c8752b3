#include "state/pluginState.h"

#include "runtime/text.h"

#include <string.h>

PluginStartupInfo startupInfo;
FarStandardFunctions standardFunctions;
char cacheFilePath[MAX_PATH];
const char* pluginsRoot = "C:\\PROGRAM FILES\\FAR\\PLUGINS\\";
const char* personalPluginsFolder = nullptr;
unsigned openCount = 0;
int faultSearchUnderWay = 0;

static const char CACHE_FILE_NAME[] = "JCache.dat";
static const char DEFAULT_PLUGINS_ROOT[] = "C:\\PROGRAM FILES\\FAR\\PLUGINS\\";

void deriveCacheFilePath(const char* moduleName, char* out) {
    char path[MAX_PATH];
    copyText(path, sizeof path, moduleName);
    char* slash = strrchr(path, '\\');
    if (slash) {
        slash[1] = 0;
    } else {
        copyText(path, sizeof path, "C:\\");
    }
    // A folder so deep that the file name no longer fits gets no cache file
    // rather than one written under a cut, wrong name.
    if (!appendWhole(path, sizeof path, CACHE_FILE_NAME)) path[0] = 0;
    copyText(out, MAX_PATH, path);
}

bool holdsPluginsRoot(const char* folder) {
    char own[MAX_PATH];
    copyText(own, sizeof own, folder);
    setEndSlash(own, 1, sizeof own);
    const char* roots[2] = {pluginsRoot, personalPluginsFolder};
    for (const char* root : roots) {
        if (!root || !*root) continue;
        char full[MAX_PATH];
        copyText(full, sizeof full, root);
        setEndSlash(full, 1, sizeof full);
        // The root itself, or a folder above it.
        if (startsWithNoCase(full, own)) return true;
    }
    return false;
}

const char* derivePluginsRoot(const char* moduleName, char* buffer) {
    copyText(buffer, MAX_PATH, moduleName);
    char* found = findNoCase(buffer, "\\plugins\\");
    if (!found) return DEFAULT_PLUGINS_ROOT;
    found[9] = 0;
    return buffer;
}

namespace {

const int ACTL_GET_FAR_VERSION = 0;
typedef int(WINAPI* AdvControlFunction)(int, int, void*);

}  // namespace

uint32_t hostFarVersion() {
    auto advControl = reinterpret_cast<AdvControlFunction>(startupInfo.AdvControl);
    return advControl ? static_cast<uint32_t>(advControl(startupInfo.ModuleNumber, ACTL_GET_FAR_VERSION, nullptr)) : 0;
}
