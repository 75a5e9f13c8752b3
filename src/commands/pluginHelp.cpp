#include "commands/pluginCommands.h"

#include "runtime/text.h"
#include "state/pluginState.h"

#include <string.h>

void showPluginHelp(const CatalogueRecord* record) {
    if (!startupInfo.ShowHelp) return;
    // The DLL's own folder, also when it is a bin folder: that is where a
    // plugin keeps the help file the host will look for.
    char folder[MAX_PATH];
    copyText(folder, sizeof folder, record->dllPath);
    if (char* slash = strrchr(folder, '\\')) *slash = 0;
    startupInfo.ShowHelp(folder, nullptr, FHELP_CUSTOMPATH | FHELP_USECONTENTS | FHELP_NOSHOWERROR);
}
