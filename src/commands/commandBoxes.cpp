#include "commands/commandBoxes.h"

#include "foreign/probe.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"

#include <stdio.h>
#include <string.h>

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

void Refused::add(const char* path, const char* reason) {
    if (count < KEPT) {
        const char* name = strrchr(path, '\\');
        name = name && name[1] ? name + 1 : path;
        cutMiddle(lines[2 * count], BOX_TEXT_CHARS, name);
        char line[2 * MAX_PATH];
        snprintf(line, sizeof line, "  %s", reason);
        copyText(lines[2 * count + 1], BOX_TEXT_CHARS + 1, line);
    } else if (count == KEPT) {
        copyText(lines[2 * KEPT], BOX_TEXT_CHARS + 1, "...");
    }
    ++count;
}

void tellRefused(const Refused& refused, int done, int doneText) {
    if (!startupInfo.Message || !refused.count) return;
    char doneLine[BOX_TEXT_CHARS + 1] = "";
    const char* items[2 * Refused::KEPT + 6];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    if (done && doneText) {
        snprintf(doneLine, sizeof doneLine, msgText(doneText), done);
        items[n++] = doneLine;
    }
    items[n++] = msgText(MLeftAsTheyAre);
    int shown = refused.count <= Refused::KEPT ? 2 * refused.count : 2 * Refused::KEPT + 1;
    for (int i = 0; i < shown; ++i) items[n++] = refused.lines[i];
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_LEFTALIGN | FMSG_MB_OK, "", items, n, 0);
}
