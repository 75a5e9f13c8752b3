// The course of a search: the plugin folders it may switch are written to
// its state file before anything is switched, so that everything can be put
// back whatever happens; each answer switches the next half, and the end,
// Esc or Put back switches every folder the search switched off on again.
#include "commands/faultSearch.h"

#include "commands/changeRepair.h"
#include "commands/commandBoxes.h"
#include "commands/faultSearchBoxes.h"
#include "commands/faultSearchDisk.h"
#include "runtime/heap.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <string.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// A folder holding a DLL the user switched off is left out: putting the
// search's changes back would switch that one on too.
bool holdsSwitchedOff(const PanelState* panel, const char* folder) {
    for (int i = 0; i < panel->catalogueCount; ++i)
        if (isSwitchedOff(panel->catalogue[i].dllPath) && liesInFolder(panel->catalogue[i].dllPath, folder))
            return true;
    return false;
}

void collectFolders(const PanelState* panel, CatalogueRecord* const* selected, int count, SearchState* state) {
    char own[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), own, sizeof own);
    if (!ownLength || ownLength >= sizeof own) own[0] = 0;
    int total = count ? count : panel->catalogueCount;
    for (int i = 0; i < total && state->count < SEARCH_MAX_FOLDERS; ++i) {
        const CatalogueRecord* record = count ? selected[i] : &panel->catalogue[i];
        if (record->missing || isSwitchedOff(record->dllPath)) continue;
        char folder[MAX_PATH];
        pluginFolderOf(record->dllPath, folder, false);
        // A DLL loose in a plugins folder has no folder of its own to switch.
        if (holdsPluginsRoot(folder) || (own[0] && liesInFolder(own, folder))) continue;
        bool known = holdsSwitchedOff(panel, folder) || strlen(folder) >= SEARCH_PATH_CHARS;
        for (int f = 0; f < state->count && !known; ++f) known = equalNoCase(state->entries[f].folder, folder);
        if (known) continue;
        // In the order of their paths, as the menu shows them.
        int at = state->count++;
        for (; at > 0 && lstrcmpiA(state->entries[at - 1].folder, folder) > 0; --at)
            state->entries[at] = state->entries[at - 1];
        copyText(state->entries[at].folder, sizeof state->entries[at].folder, folder);
        state->entries[at].role = ROLE_SUSPECT;
        state->entries[at].off = 0;
    }
}

void refresh(PanelState* panel, const SearchState& state) {
    const char** folders = heapArray<const char*>(SEARCH_MAX_FOLDERS);
    if (!folders) return;
    for (int i = 0; i < state.count; ++i) folders[i] = state.entries[i].folder;
    refreshAfterChange(panel, folders, state.count);
    heapFree(folders);
}

struct Stop {
    char path[MAX_PATH];
    DWORD error;
    int why;   // the message that says why the search stopped; 0 while it goes on
};

// Switches every folder the search has off on again and forgets the search;
// a folder that cannot be switched keeps the state file for the next open.
bool putBack(PanelState* panel, SearchState* state, bool* restart, Stop* stop, bool read) {
    bool whole = true;
    for (int i = 0; i < state->count; ++i) {
        SearchEntry& entry = state->entries[i];
        if (!entry.off) continue;
        SwitchFailure failure;
        if (switchSearchFolder(panel->handle, entry.folder, false, restart, &failure)) {
            entry.off = 0;
        } else if (whole) {
            whole = false;
            copyText(stop->path, sizeof stop->path, failure.path);
            stop->error = failure.error;
            stop->why = MSearchStopped;
        }
    }
    if (whole) dropSearch();
    else saveSearch(*state);
    faultSearchUnderWay = whole ? 0 : 1;
    if (read) refresh(panel, *state);
    return whole;
}

// Switches the folders as the next try wants them. The state file names
// every folder that may be off before any is switched.
bool applyStep(PanelState* panel, SearchState* state, bool* restart, Stop* stop) {
    char was[SEARCH_MAX_FOLDERS], want[SEARCH_MAX_FOLDERS];
    for (int i = 0; i < state->count; ++i) was[i] = state->entries[i].off;
    planStep(state);
    for (int i = 0; i < state->count; ++i) {
        want[i] = state->entries[i].off;
        state->entries[i].off = was[i] | want[i];
    }
    if (!saveSearch(*state)) {
        for (int i = 0; i < state->count; ++i) state->entries[i].off = was[i];
        char path[MAX_PATH] = "";
        searchFilePath(path, sizeof path);
        copyText(stop->path, sizeof stop->path, path);
        stop->error = GetLastError();
        stop->why = MSearchUnsaved;
        return false;
    }
    for (int i = 0; i < state->count && !stop->why; ++i) {
        if (want[i] == was[i]) continue;
        SwitchFailure failure;
        if (switchSearchFolder(panel->handle, state->entries[i].folder, want[i] != 0, restart, &failure)) {
            state->entries[i].off = want[i];
            continue;
        }
        state->entries[i].off = was[i];
        copyText(stop->path, sizeof stop->path, failure.path);
        stop->error = failure.error;
        stop->why = MSearchStopped;
    }
    saveSearch(*state);
    faultSearchUnderWay = 1;
    return !stop->why;
}

// A step that could not be made puts everything back and says why.
void stepOrStop(PanelState* panel, SearchState* state) {
    bool restart = false;
    Stop stop;
    memset(&stop, 0, sizeof stop);
    if (applyStep(panel, state, &restart, &stop)) {
        refresh(panel, *state);
        showStep(panel, *state, restart);
        return;
    }
    Stop ignored;
    memset(&ignored, 0, sizeof ignored);
    putBack(panel, state, &restart, &ignored, true);
    showStopped(stop.path, stop.error, stop.why);
}

void startSearch(PanelState* panel, SearchState* state, CatalogueRecord* const* selected, int count) {
    collectFolders(panel, selected, count, state);
    if (!state->count) {
        showMsg(MSearchNoCandidates);
        return;
    }
    if (!chooseRequired(state)) return;
    if (!suspectCount(*state)) {
        showMsg(MSearchNoCandidates);
        return;
    }
    stepOrStop(panel, state);
}

void answer(PanelState* panel, SearchState* state) {
    AskedAnswer asked = askAnswer(panel, *state);
    bool restart = false;
    Stop stop;
    memset(&stop, 0, sizeof stop);
    if (asked == ASKED_PUT_BACK) {
        if (putBack(panel, state, &restart, &stop, true)) showPutBack(restart);
        else showStopped(stop.path, stop.error, stop.why);
        return;
    }
    SearchOutcome outcome = answerStep(state, static_cast<SearchAnswer>(asked));
    if (outcome == SEARCH_GOES_ON) {
        stepOrStop(panel, state);
        return;
    }
    char found[SEARCH_PATH_CHARS] = "";
    int one = firstSuspect(*state);
    if (outcome == SEARCH_FOUND && one >= 0) copyText(found, sizeof found, state->entries[one].folder);
    if (putBack(panel, state, &restart, &stop, true)) showResult(panel, found[0] ? found : nullptr, restart);
    else showStopped(stop.path, stop.error, stop.why);
}

bool resumeOffered = false;

}  // namespace

void searchFaultyPlugin(PanelState* panel, CatalogueRecord* const* selected, int count) {
    if (!panel || !startupInfo.Message || refuseWhileJournalWaits()) return;
    SearchState* state = static_cast<SearchState*>(heapAlloc(sizeof(SearchState)));
    if (!state) return;
    resumeOffered = true;
    if (loadSearch(state)) answer(panel, state);
    else startSearch(panel, state, selected, count);
    heapFree(state);
}

void offerToResumeSearch(PanelState* panel) {
    if (resumeOffered || !startupInfo.Message) return;
    resumeOffered = true;
    SearchState* state = static_cast<SearchState*>(heapAlloc(sizeof(SearchState)));
    if (!state) return;
    if (loadSearch(state)) {
        faultSearchUnderWay = 1;
        if (!askGoOn(*state)) {
            bool restart = false;
            Stop stop;
            memset(&stop, 0, sizeof stop);
            if (putBack(panel, state, &restart, &stop, false)) showPutBack(restart);
            else showStopped(stop.path, stop.error, stop.why);
        }
    }
    heapFree(state);
}
