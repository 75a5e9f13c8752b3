// Letting FAR load again a plugin this plugin unloaded.
#include "commands/pluginCommands.h"

#include "catalogue/probe.h"
#include "ui/messages.h"

void reloadPlugin(HANDLE, const CatalogueRecord* record) {
    showMsg(heldModule(record->dllPath) ? MReloadLoaded : MReloadNotUnloaded);
}
