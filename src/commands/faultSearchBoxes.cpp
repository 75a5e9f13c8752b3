#include "commands/faultSearchBoxes.h"

#include "commands/pluginCommands.h"
#include "runtime/errorText.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace {

// A menu line holds a path shortened in its middle.
constexpr size_t MENU_TEXT_CHARS = 70;

int showMenu(const char* bottom, FarMenuItem* items, int count) {
    FARAPIMENU menu = reinterpret_cast<FARAPIMENU>(startupInfo.Menu);
    if (!menu) return -1;
    return menu(startupInfo.ModuleNumber, -1, -1, 0, FMENU_WRAPMODE, msgText(MSearchTitle), bottom, nullptr, nullptr,
                nullptr, items, count);
}

// The first catalogue record of a plugin folder, for F3.
const CatalogueRecord* recordIn(PanelState* panel, const char* folder) {
    for (int i = 0; i < panel->catalogueCount; ++i) {
        char own[MAX_PATH];
        pluginFolderOf(panel->catalogue[i].dllPath, own, false);
        if (equalNoCase(own, folder)) return &panel->catalogue[i];
    }
    return nullptr;
}

// The suspects, F3 on the one chosen.
void showSuspects(PanelState* panel, const SearchState& state) {
    FarMenuItem* items = heapArray<FarMenuItem>(SEARCH_MAX_FOLDERS);
    if (!items) return;
    int n = 0;
    for (int i = 0; i < state.count; ++i)
        if (state.entries[i].role == ROLE_SUSPECT) {
            cutMiddle(items[n].Text, MENU_TEXT_CHARS, state.entries[i].folder);
            items[n++].Checked = state.entries[i].off;
        }
    int chosen = showMenu(msgText(MBtnSuspects), items, n);
    const char* folder = nullptr;
    for (int i = 0, seen = 0; i < state.count && chosen >= 0 && !folder; ++i)
        if (state.entries[i].role == ROLE_SUSPECT && seen++ == chosen) folder = state.entries[i].folder;
    heapFree(items);
    if (const CatalogueRecord* record = folder ? recordIn(panel, folder) : nullptr) showPluginInfo(panel, record);
}

struct Lines {
    char offLine[BOX_TEXT_CHARS + 1];
    char stepsLine[BOX_TEXT_CHARS + 1];
};

void fillLines(const SearchState& state, Lines* lines) {
    int suspects = suspectCount(state), off = 0;
    for (int i = 0; i < state.count; ++i) off += state.entries[i].role == ROLE_SUSPECT && state.entries[i].off;
    snprintf(lines->offLine, sizeof lines->offLine, message(MSearchSwitchedOff), off, suspects);
    snprintf(lines->stepsLine, sizeof lines->stepsLine, message(MSearchStepsLeft),
             stepsLeft(suspects, state.confirmed != 0));
}

}  // namespace

bool chooseRequired(SearchState* state) {
    FarMenuItem* items = heapArray<FarMenuItem>(SEARCH_MAX_FOLDERS + 2);
    if (!items) return false;
    int chosen = 0;
    for (;;) {
        memset(items, 0, sizeof(FarMenuItem) * (SEARCH_MAX_FOLDERS + 2));
        copyText(items[0].Text, sizeof items[0].Text, message(MSearchStart));
        items[1].Separator = 1;
        for (int i = 0; i < state->count; ++i) {
            cutMiddle(items[i + 2].Text, MENU_TEXT_CHARS, state->entries[i].folder);
            items[i + 2].Checked = state->entries[i].role == ROLE_REQUIRED;
        }
        items[chosen].Selected = 1;
        chosen = showMenu(msgText(MSearchMenuBottom), items, state->count + 2);
        if (chosen <= 0) break;
        SearchEntry& entry = state->entries[chosen - 2 < 0 ? 0 : chosen - 2];
        if (chosen >= 2) entry.role = entry.role == ROLE_REQUIRED ? ROLE_SUSPECT : ROLE_REQUIRED;
    }
    heapFree(items);
    return chosen == 0;
}

void showStep(PanelState* panel, const SearchState& state, bool restart) {
    Lines lines;
    fillLines(state, &lines);
    for (;;) {
        const char* items[8];
        int n = 0;
        items[n++] = msgText(MSearchTitle);
        items[n++] = lines.offLine;
        if (restart) items[n++] = msgText(MSearchRestart);
        items[n++] = msgText(MSearchTryNow);
        items[n++] = lines.stepsLine;
        items[n++] = okButton();
        items[n++] = msgText(MBtnSuspects);
        if (startupInfo.Message(startupInfo.ModuleNumber, 0, "", items, n, 2) != 1) return;
        showSuspects(panel, state);
    }
}

AskedAnswer askAnswer(PanelState* panel, const SearchState& state) {
    Lines lines;
    fillLines(state, &lines);
    for (;;) {
        const char* items[] = {msgText(MSearchTitle), msgText(MSearchAsk), lines.offLine, lines.stepsLine,
                               msgText(MBtnStillThere), msgText(MBtnGone), msgText(MBtnCannotTell),
                               msgText(MBtnSuspects), msgText(MBtnPutBack)};
        int button = startupInfo.Message(startupInfo.ModuleNumber, 0, "", items, 9, 5);
        if (button == 3) {
            showSuspects(panel, state);
            continue;
        }
        // Esc gives up, as Put back does.
        if (button < 0 || button > 3) return ASKED_PUT_BACK;
        return static_cast<AskedAnswer>(button);
    }
}

void showResult(PanelState* panel, const char* folder, bool restart) {
    char path[BOX_TEXT_CHARS + 1] = "";
    if (folder) cutMiddle(path, BOX_TEXT_CHARS, folder);
    const char* items[8];
    int n = 0;
    items[n++] = msgText(MSearchTitle);
    items[n++] = msgText(folder ? MSearchFound : MSearchNoneAlone);
    items[n++] = folder ? path : msgText(MSearchNoneHint);
    items[n++] = msgText(MSearchPutBack);
    if (restart) items[n++] = msgText(MSearchBackAfterRestart);
    items[n++] = okButton();
    if (folder) items[n++] = msgText(MKeyInfo);
    int button = startupInfo.Message(startupInfo.ModuleNumber, 0, "", items, n, folder ? 2 : 1);
    if (button == 1 && folder)
        if (const CatalogueRecord* record = recordIn(panel, folder)) showPluginInfo(panel, record);
}

bool askGoOn(const SearchState& state) {
    Lines lines;
    fillLines(state, &lines);
    char answers[BOX_TEXT_CHARS + 1];
    snprintf(answers, sizeof answers, message(MSearchAnswers), state.answers);
    const char* items[] = {msgText(MSearchTitle), msgText(MSearchResume), answers, lines.stepsLine,
                           msgText(MBtnGoOn), msgText(MBtnPutBack)};
    return startupInfo.Message(startupInfo.ModuleNumber, 0, "", items, 6, 2) == 0;
}

void showPutBack(bool restart) {
    const char* items[] = {msgText(MSearchTitle), msgText(MSearchPutBack), msgText(MSearchBackAfterRestart)};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_OK, "", items, restart ? 3 : 2, 0);
}

void showStopped(const char* path, DWORD error, int why) {
    char shown[BOX_TEXT_CHARS + 1], reason[BOX_TEXT_CHARS + 1];
    cutMiddle(shown, BOX_TEXT_CHARS, path);
    const char* items[5];
    int n = 0;
    items[n++] = msgText(MSearchTitle);
    items[n++] = msgText(why);
    items[n++] = shown;
    if (error) {
        errorText(error, reason, sizeof reason);
        items[n++] = reason;
    }
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, n, 0);
}
