#include "commands/faultSearchSteps.h"

#include <stdio.h>
#include <string.h>

namespace {

const char HEADER[] = "Vantorel search 1\n";

bool isRole(char c) {
    return c == ROLE_SUSPECT || c == ROLE_REQUIRED || c == ROLE_STAYS_OFF || c == ROLE_CLEARED;
}

}  // namespace

int suspectCount(const SearchState& state) {
    int n = 0;
    for (int i = 0; i < state.count; ++i) n += state.entries[i].role == ROLE_SUSPECT;
    return n;
}

int firstSuspect(const SearchState& state) {
    for (int i = 0; i < state.count; ++i)
        if (state.entries[i].role == ROLE_SUSPECT) return i;
    return -1;
}

int planStep(SearchState* state) {
    int suspects = suspectCount(*state);
    // The larger half goes off: "still there" then leaves the smaller one,
    // and a last suspect never seen gone is tried alone.
    int offCount = (suspects + 1) / 2;
    int first = state->flip ? suspects - offCount : 0;
    int seen = 0, off = 0;
    for (int i = 0; i < state->count; ++i) {
        SearchEntry& entry = state->entries[i];
        if (entry.role == ROLE_SUSPECT) {
            entry.off = seen >= first && seen < first + offCount;
            off += entry.off;
            ++seen;
        } else {
            entry.off = entry.role == ROLE_STAYS_OFF;
        }
    }
    return off;
}

SearchOutcome answerStep(SearchState* state, SearchAnswer answer) {
    if (answer == ANSWER_CANNOT_TELL) {
        state->flip ^= 1;
        return SEARCH_GOES_ON;
    }
    ++state->answers;
    state->flip = 0;
    for (int i = 0; i < state->count; ++i) {
        SearchEntry& entry = state->entries[i];
        if (entry.role != ROLE_SUSPECT) continue;
        // Still there: the one is among those on. Gone: among those off.
        if (answer == ANSWER_STILL_THERE && entry.off) entry.role = ROLE_STAYS_OFF;
        if (answer == ANSWER_GONE && !entry.off) entry.role = ROLE_CLEARED;
    }
    if (answer == ANSWER_GONE) state->confirmed = 1;
    int left = suspectCount(*state);
    if (left == 0) return SEARCH_NONE_ALONE;
    return left == 1 && state->confirmed ? SEARCH_FOUND : SEARCH_GOES_ON;
}

int stepsLeft(int suspects, bool confirmed) {
    if (suspects <= 0) return 0;
    if (suspects == 1) return confirmed ? 0 : 1;
    int off = (suspects + 1) / 2;
    int gone = stepsLeft(off, true), still = stepsLeft(suspects - off, confirmed);
    return 1 + (gone > still ? gone : still);
}

size_t searchText(const SearchState& state, char* out, size_t cap) {
    size_t used = 0;
    int n = snprintf(out, cap, "%sanswers %d confirmed %d flip %d\n", HEADER, state.answers, state.confirmed,
                     state.flip);
    if (n < 0 || static_cast<size_t>(n) >= cap) return 0;
    used = static_cast<size_t>(n);
    for (int i = 0; i < state.count; ++i) {
        const SearchEntry& entry = state.entries[i];
        n = snprintf(out + used, cap - used, "%c%c %s\n", entry.role, entry.off ? '1' : '0', entry.folder);
        if (n < 0 || static_cast<size_t>(n) >= cap - used) return 0;
        used += static_cast<size_t>(n);
    }
    return used;
}

bool readSearchText(const char* text, size_t length, SearchState* state) {
    memset(state, 0, sizeof *state);
    const size_t headerLength = sizeof HEADER - 1;
    if (length < headerLength || memcmp(text, HEADER, headerLength)) return false;
    const char* p = text + headerLength;
    const char* end = text + length;
    const char* eol = static_cast<const char*>(memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!eol) return false;
    char line[64];
    size_t n = static_cast<size_t>(eol - p);
    if (n >= sizeof line) return false;
    memcpy(line, p, n);
    line[n] = 0;
    if (sscanf(line, "answers %d confirmed %d flip %d", &state->answers, &state->confirmed, &state->flip) != 3)
        return false;
    for (p = eol + 1; p < end; p = eol + 1) {
        eol = static_cast<const char*>(memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!eol) return false;   // a line cut short: the write did not finish
        n = static_cast<size_t>(eol - p);
        if (n < 4 || n - 3 >= SEARCH_PATH_CHARS || !isRole(p[0]) || (p[1] != '0' && p[1] != '1') || p[2] != ' ' ||
            state->count >= SEARCH_MAX_FOLDERS)
            return false;
        SearchEntry& entry = state->entries[state->count++];
        entry.role = p[0];
        entry.off = p[1] == '1';
        memcpy(entry.folder, p + 3, n - 3);
        entry.folder[n - 3] = 0;
    }
    return state->count > 0;
}
