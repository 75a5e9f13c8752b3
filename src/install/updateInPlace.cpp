#include "install/updateInPlace.h"

#include "catalogue/folderWalk.h"
#include "foreign/probe.h"
#include "commands/farRecordLayout.h"
#include "commands/hostRecordTable.h"
#include "commands/pluginCommands.h"
#include "runtime/text.h"
#include "ui/messages.h"

#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

struct Held {
    ReleasedPlugins* found;
    int more;   // beyond what is kept: refused rather than half done
};

int noteHeld(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    Held* held = static_cast<Held*>(context);
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName) || !heldModule(path)) return 0;
    if (held->found->count == ReleasedPlugins::KEPT) {
        ++held->more;
        return 0;
    }
    copyText(held->found->paths[held->found->count++], MAX_PATH, path);
    return 0;
}

}  // namespace

bool updateInPlaceAvailable(const CatalogueRecord& record) {
    // Vantorel does not replace its own code under itself.
    return farRecordLayout(hostFarVersion()) != nullptr &&
           heldModule(record.dllPath) != reinterpret_cast<HMODULE>(&__ImageBase);
}

int releaseForUpdate(HANDLE panel, const char* folder, ReleasedPlugins* released) {
    memset(released, 0, sizeof *released);
    ReleasedPlugins loaded;
    memset(&loaded, 0, sizeof loaded);
    Held held = {&loaded, 0};
    walkFolder(folder, noteHeld, &held, 1);
    if (held.more) return MHostRecordNotFound;
    for (int i = 0; i < loaded.count; ++i)
        if (int refusal = unloadRefusal(panel, heldModule(loaded.paths[i]))) return refusal;
    for (int i = 0; i < loaded.count; ++i) {
        HMODULE module = heldModule(loaded.paths[i]);
        if (!module) continue;
        if (!releaseFromHost(&module, loaded.paths[i])) return MHostRecordNotFound;
        copyText(released->paths[released->count++], MAX_PATH, loaded.paths[i]);
    }
    return 0;
}

int loadAgainAfterUpdate(const ReleasedPlugins& released) {
    int first = 0;
    for (int i = 0; i < released.count; ++i) {
        int message = letFarLoadAgain(released.paths[i], false);
        if (message && !first) first = message;
    }
    return first;
}
