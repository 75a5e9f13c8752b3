#include "commands/commandBoxes.h"

#include "foreign/probe.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"

#include <stdio.h>

int addPathLines(const char* const* paths, int count, int shownMax, BoxLine* lines, const char** items, int n) {
    int shown = count < shownMax ? count : shownMax;
    for (int i = 0; i < shown; ++i) {
        cutMiddle(lines[i], BOX_TEXT_CHARS, paths[i]);
        items[n++] = lines[i];
    }
    if (count > shown) {
        snprintf(lines[shown], BOX_TEXT_CHARS + 1, msgText(MAndMore), count - shown);
        items[n++] = lines[shown];
    }
    return n;
}

void refreshAfterChange(PanelState* panel, const char* const* folders, int count) {
    for (int i = 0; i < panel->catalogueCount; ++i)
        for (int f = 0; f < count; ++f)
            if (liesInFolder(panel->catalogue[i].dllPath, folders[f]))
                panel->catalogue[i].module = heldModule(panel->catalogue[i].dllPath);
    if (!startupInfo.Control) return;
    startupInfo.Control(panel->handle, FCTL_UPDATEPANEL, nullptr);
    startupInfo.Control(panel->handle, FCTL_REDRAWPANEL, nullptr);
}
