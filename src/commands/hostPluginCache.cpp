// The host keeps what it learnt about each plugin in the registry; deleting
// that cache makes it examine every plugin afresh at its next start.
#include "commands/pluginCommands.h"

#include "farRecords/cacheSlot.h"
#include "runtime/handles.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

namespace {

const char HOST_PLUGIN_CACHE[] = "SOFTWARE\\Far\\PluginsCache";

}  // namespace

void clearHostPluginCache() {
    if (!startupInfo.Message) return;
    const char* question[2] = {PLUGIN_TITLE, msgText(MAskClearCache)};
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, "", question, 2, 0) != 0) return;
    char cacheKey[MAX_PATH + 32];
    // FAR's own key, also when FAR runs with a user's registry root (/u).
    if (!hostCacheKeyName(cacheKey, sizeof cacheKey)) copyText(cacheKey, sizeof cacheKey, HOST_PLUGIN_CACHE);
    if (!deleteKeyTree(HKEY_CURRENT_USER, cacheKey)) {
        showMsg(MClearCacheFailed);
        return;
    }
    // What follows: FAR asks every plugin again when it next starts.
    const char* items[3] = {PLUGIN_TITLE, msgText(MCacheCleared), msgText(MCacheClearedNext)};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_OK, "", items, 3, 0);
}
