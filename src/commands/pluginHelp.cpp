#include "commands/pluginCommands.h"

#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <string.h>

void showPluginHelp(const CatalogueRecord* record) {
    if (!startupInfo.ShowHelp) return;
    // The DLL's own folder, also when it is a bin folder: that is where a
    // plugin keeps the help file the host will look for.
    char folder[MAX_PATH];
    copyText(folder, sizeof folder, record->dllPath);
    if (char* slash = strrchr(folder, '\\')) *slash = 0;
    // FAR is told to stay silent about a missing help file, and says nothing
    // at all then: the user is told here.
    char pattern[MAX_PATH];
    copyText(pattern, sizeof pattern, folder);
    WIN32_FIND_DATAA found;
    HANDLE find = appendWhole(pattern, sizeof pattern, "\\*.hlf") ? FindFirstFileA(pattern, &found)
                                                                   : INVALID_HANDLE_VALUE;
    if (find == INVALID_HANDLE_VALUE) {
        showMsg(MNoPluginHelp);
        return;
    }
    FindClose(find);
    startupInfo.ShowHelp(folder, nullptr, FHELP_CUSTOMPATH | FHELP_USECONTENTS | FHELP_NOSHOWERROR);
}
