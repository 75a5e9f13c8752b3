#include "folders/moveJournal.h"

#include "folders/besidePlugins.h"
#include "folders/fileOps.h"
#include "runtime/text.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char HEADER[] = "Vantorel journal 2\n";
// Journals of the build before notes: "commit" stood inside the plan.
const char HEADER_1[] = "Vantorel journal 1\n";
const size_t JOURNAL_BYTES = 16 * 1024;

// One field up to stop; false when it does not fit, is empty or is not ended.
bool field(const char*& at, const char* end, char* out, size_t cap, char stop) {
    size_t n = 0;
    while (at < end && *at != stop && *at != '\n') {
        if (n + 1 >= cap) return false;
        out[n++] = *at++;
    }
    out[n] = 0;
    if (at >= end || *at != stop) return false;
    ++at;
    return n > 0;
}

bool pair(const char*& at, const char* end, MovePlan::Move& move) {
    return field(at, end, move.from, sizeof move.from, '\t') && field(at, end, move.to, sizeof move.to, '\n');
}

// The word that starts a line, up to a tab or the line's end.
bool lineWord(const char*& at, const char* end, char* word, size_t cap) {
    size_t n = 0;
    while (at < end && *at != '\t' && *at != '\n' && n + 1 < cap) word[n++] = *at++;
    word[n] = 0;
    return at < end && (*at == '\t' || *at == '\n');
}

// One line of the plan; 1 read, 0 the end mark, -1 not a plan line.
int planLine(const char*& at, const char* end, MovePlan* plan, JournalProgress* progress, bool first) {
    char word[16];
    if (!lineWord(at, end, word, sizeof word)) return -1;
    bool tab = *at++ == '\t';
    if (!tab) {
        if (!strcmp(word, "end")) return 0;
        if (first && !strcmp(word, "commit") && !progress->committed) return progress->committed = true, 1;
        return -1;
    }
    bool cleanUp = plan->removalCount || plan->keepCount || progress->committed;
    if (!strcmp(word, "plugin") && !plan->moveCount && plan->folderCount < MovePlan::FOLDERS)
        return field(at, end, plan->folders[plan->folderCount++], sizeof plan->folders[0], '\n') ? 1 : -1;
    if (!strcmp(word, "move") && !cleanUp && plan->moveCount < MovePlan::MOVES)
        return pair(at, end, plan->moves[plan->moveCount++]) ? 1 : -1;
    if (!strcmp(word, "remove") && !plan->keepCount && !progress->committed &&
        plan->removalCount < MovePlan::REMOVALS)
        return field(at, end, plan->removals[plan->removalCount++], sizeof plan->removals[0], '\n') ? 1 : -1;
    if (!strcmp(word, "keep") && !progress->committed && plan->keepCount < MovePlan::KEEPS)
        return pair(at, end, plan->keeps[plan->keepCount++]) ? 1 : -1;
    return -1;
}

// One note after the plan; false when it is none that a journal holds.
bool noteLine(const char* line, size_t n, const MovePlan& plan, JournalProgress* progress) {
    char word[16] = "";
    size_t w = 0;
    while (w < n && line[w] != '\t' && w + 1 < sizeof word) {
        word[w] = line[w];
        ++w;
    }
    word[w] = 0;
    if (w == n) {
        if (!strcmp(word, "commit")) return progress->committed = true;
        if (!strcmp(word, "dropped")) return progress->dropped = true;
        return false;
    }
    char number[8] = "";
    if (n - w - 1 >= sizeof number || n - w - 1 == 0) return false;
    copyTextN(number, sizeof number, line + w + 1, n - w - 1);
    char* after = nullptr;
    long step = strtol(number, &after, 10);
    if (*after || step < 0) return false;
    bool known = step < plan.moveCount || (step >= FIRST_REMOVAL && step < FIRST_REMOVAL + plan.removalCount) ||
                 (step >= FIRST_KEEP && step < FIRST_KEEP + plan.keepCount);
    if (!known) return false;
    if (!strcmp(word, "done")) progress->done |= 1u << step;
    else if (!strcmp(word, "undone") && step < plan.moveCount) progress->undone |= 1u << step;
    else return false;
    return true;
}

bool appendLine(char* out, size_t cap, const char* word, const char* a, const char* b = nullptr) {
    return appendWhole(out, cap, word) && appendWhole(out, cap, "\t") && appendWhole(out, cap, a) &&
           (!b || (appendWhole(out, cap, "\t") && appendWhole(out, cap, b))) && appendWhole(out, cap, "\n");
}

}  // namespace

size_t writeJournalText(const MovePlan& plan, char* out, size_t cap) {
    if (!cap) return 0;
    out[0] = 0;
    bool ok = appendWhole(out, cap, HEADER);
    for (int i = 0; i < plan.folderCount && ok; ++i) ok = appendLine(out, cap, "plugin", plan.folders[i]);
    for (int i = 0; i < plan.moveCount && ok; ++i) ok = appendLine(out, cap, "move", plan.moves[i].from, plan.moves[i].to);
    for (int i = 0; i < plan.removalCount && ok; ++i) ok = appendLine(out, cap, "remove", plan.removals[i]);
    for (int i = 0; i < plan.keepCount && ok; ++i) ok = appendLine(out, cap, "keep", plan.keeps[i].from, plan.keeps[i].to);
    if (ok) ok = appendWhole(out, cap, "end\n");
    if (!ok) out[0] = 0;
    return ok ? strlen(out) : 0;
}

bool readJournalText(const char* text, size_t length, MovePlan* plan, JournalProgress* progress) {
    memset(plan, 0, sizeof *plan);
    memset(progress, 0, sizeof *progress);
    const char* at = text;
    const char* end = text + length;
    bool first = length >= sizeof HEADER_1 - 1 && !memcmp(at, HEADER_1, sizeof HEADER_1 - 1);
    if (!first && (length < sizeof HEADER - 1 || memcmp(at, HEADER, sizeof HEADER - 1))) return false;
    at += sizeof HEADER - 1;
    progress->older = first;
    int line;
    while ((line = planLine(at, end, plan, progress, first)) == 1) {}
    if (line < 0 || !plan->moveCount) return false;
    // After the plan, the notes: one per line; a last line without its end
    // is a note the process did not finish writing.
    while (at < end) {
        const char* stop = static_cast<const char*>(memchr(at, '\n', end - at));
        if (!stop) break;
        if (first || !noteLine(at, stop - at, *plan, progress)) return false;
        at = stop + 1;
    }
    return true;
}

void firstPathOf(const char* text, size_t length, char* out, size_t cap) {
    out[0] = 0;
    const char* end = text + length;
    for (const char* at = text; at < end && !out[0];) {
        const char* tab = static_cast<const char*>(memchr(at, '\t', end - at));
        if (!tab) break;
        const char* stop = tab + 1;
        while (stop < end && *stop != '\t' && *stop != '\n') ++stop;
        if (stop - tab > 3 && tab[2] == ':') copyTextN(out, cap, tab + 1, stop - tab - 1);
        at = stop;
    }
}

bool planMove(MovePlan& plan, const char* from, const char* to) {
    if (plan.moveCount == MovePlan::MOVES) return false;
    MovePlan::Move& move = plan.moves[plan.moveCount++];
    copyText(move.from, sizeof move.from, from);
    copyText(move.to, sizeof move.to, to);
    return true;
}

bool planRemoval(MovePlan& plan, const char* path) {
    if (plan.removalCount == MovePlan::REMOVALS) return false;
    copyText(plan.removals[plan.removalCount++], sizeof plan.removals[0], path);
    return true;
}

bool planKeep(MovePlan& plan, const char* from, const char* to) {
    if (plan.keepCount == MovePlan::KEEPS) return false;
    MovePlan::Move& keep = plan.keeps[plan.keepCount++];
    copyText(keep.from, sizeof keep.from, from);
    copyText(keep.to, sizeof keep.to, to);
    return true;
}

bool planFolder(MovePlan& plan, const char* folder) {
    for (int i = 0; i < plan.folderCount; ++i)
        if (equalNoCase(plan.folders[i], folder)) return true;
    if (plan.folderCount == MovePlan::FOLDERS) return false;
    copyText(plan.folders[plan.folderCount++], sizeof plan.folders[0], folder);
    return true;
}

bool beginJournal(const char* journal, const MovePlan& plan) {
    static char text[JOURNAL_BYTES];
    size_t n = writeJournalText(plan, text, sizeof text);
    char fresh[MAX_PATH];
    copyText(fresh, sizeof fresh, journal);
    if (!n || !appendWhole(fresh, sizeof fresh, JOURNAL_BEING_WRITTEN)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    if (GetFileAttributesA(journal) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    // Written whole under another name first and then renamed: a journal is
    // there whole or not at all, whenever FAR ends.
    if (GetFileAttributesA(fresh) != INVALID_FILE_ATTRIBUTES) fsDeleteFile(fresh);
    if (fsWriteNew(fresh, text, n) && fsRenameOwn(fresh, journal)) return true;
    DWORD error = GetLastError();
    if (GetFileAttributesA(fresh) != INVALID_FILE_ATTRIBUTES) DeleteFileA(fresh);
    SetLastError(error);
    return false;
}

bool noteStep(const char* journal, const char* word, int step) {
    char line[32];
    if (step >= 0) snprintf(line, sizeof line, "%s\t%d\n", word, step);
    else snprintf(line, sizeof line, "%s\n", word);
    return fsAppend(journal, line, strlen(line));
}

bool endJournal(const char* journal) {
    if (fsDeleteFile(journal) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    DWORD attributes = GetFileAttributesA(journal);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    // A journal made read-only (by hand, by a copy from a CD) is ours to clear.
    return (attributes & FILE_ATTRIBUTE_READONLY) &&
           fsSetAttributes(journal, attributes & ~FILE_ATTRIBUTE_READONLY) && fsDeleteFile(journal);
}

bool journalInTheWay(char* out, size_t cap) {
    char journals[2][260];
    int n = journalPaths(journals, 2);
    for (int i = 0; i < n; ++i) {
        if (GetFileAttributesA(journals[i]) == INVALID_FILE_ATTRIBUTES) continue;
        if (out) copyText(out, cap, journals[i]);
        return true;
    }
    return false;
}
