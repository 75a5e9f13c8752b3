#include "farRecords/unloadedPlugins.h"

#include "runtime/text.h"

#include <string.h>

namespace {

// More than anyone unloads in one session; the oldest gives way.
const int KEPT = 64;
UnloadedPlugin unloaded[KEPT];
int next = 0;

UnloadedPlugin* slotOf(const char* path) {
    for (UnloadedPlugin& plugin : unloaded)
        if (plugin.path[0] && equalNoCase(plugin.path, path)) return &plugin;
    return nullptr;
}

}  // namespace

void rememberUnloaded(const char* path, uint8_t* record) {
    UnloadedPlugin* slot = slotOf(path);
    if (!slot) {
        slot = &unloaded[next];
        next = (next + 1) % KEPT;
    }
    copyText(slot->path, sizeof slot->path, path);
    slot->record = record;
}

const UnloadedPlugin* findUnloaded(const char* path) {
    return path && *path ? slotOf(path) : nullptr;
}

void forgetUnloaded(const char* path) {
    if (UnloadedPlugin* slot = path ? slotOf(path) : nullptr) memset(slot, 0, sizeof *slot);
}
