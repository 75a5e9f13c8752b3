#include "folders/moveJournal.h"

#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char HEADER[] = "Vantorel journal 1\n";
const char END_MARK[] = "end\n";
const size_t JOURNAL_BYTES = 16 * 1024;

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// One field up to a tab or the line's end; false when it does not fit.
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

bool writeWhole(const char* path, const char* text, size_t length) {
    // Through to the disk: the journal must be there before the first move.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) && written == length &&
              FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

// What a repaired change had staged goes with it: a staged build not moved
// in, the folders things were set aside in, an empty staging folder.
void dropStaged(const MovePlan& plan) {
    for (int i = 0; i < plan.moveCount; ++i) {
        const MovePlan::Move& move = plan.moves[i];
        if (findNoCase(move.from, "\\Vantorel.staging\\") && exists(move.from)) removeFolderTree(move.from);
        char holder[MAX_PATH];
        copyText(holder, sizeof holder, move.to);
        char* slash = strrchr(holder, '\\');
        if (slash && findNoCase(holder, "\\Vantorel.staging\\")) {
            *slash = 0;
            RemoveDirectoryA(holder);
        }
    }
    tidyStagingFolders();
}

}  // namespace

size_t writeJournalText(const MovePlan& plan, char* out, size_t cap) {
    if (!cap) return 0;
    out[0] = 0;
    bool ok = appendWhole(out, cap, HEADER);
    for (int i = 0; i < plan.moveCount && ok; ++i) {
        ok = appendWhole(out, cap, "move\t") && appendWhole(out, cap, plan.moves[i].from) &&
             appendWhole(out, cap, "\t") && appendWhole(out, cap, plan.moves[i].to) && appendWhole(out, cap, "\n");
    }
    for (int i = 0; i < plan.removalCount && ok; ++i)
        ok = appendWhole(out, cap, "remove\t") && appendWhole(out, cap, plan.removals[i]) && appendWhole(out, cap, "\n");
    for (int i = 0; i < plan.keepCount && ok; ++i) {
        ok = appendWhole(out, cap, "keep\t") && appendWhole(out, cap, plan.keeps[i].from) &&
             appendWhole(out, cap, "\t") && appendWhole(out, cap, plan.keeps[i].to) && appendWhole(out, cap, "\n");
    }
    if (ok && plan.committed) ok = appendWhole(out, cap, "commit\n");
    if (ok) ok = appendWhole(out, cap, END_MARK);
    if (!ok) out[0] = 0;
    return ok ? strlen(out) : 0;
}

bool readJournalText(const char* text, size_t length, MovePlan* plan) {
    memset(plan, 0, sizeof *plan);
    const char* at = text;
    const char* end = text + length;
    size_t header = sizeof HEADER - 1;
    if (length < header || memcmp(at, HEADER, header)) return false;
    at += header;
    bool ended = false;
    while (at < end && !ended) {
        char word[16];
        size_t n = 0;
        while (at < end && *at != '\t' && *at != '\n' && n + 1 < sizeof word) word[n++] = *at++;
        word[n] = 0;
        if (at >= end) return false;
        if (*at == '\n') {
            ++at;
            if (!strcmp(word, "commit") && !plan->committed) plan->committed = true;
            else if (!strcmp(word, "end")) ended = true;
            else return false;
            continue;
        }
        ++at;   // the tab
        if (!strcmp(word, "move")) {
            if (plan->committed || plan->removalCount || plan->keepCount || plan->moveCount == MovePlan::MOVES)
                return false;
            MovePlan::Move& move = plan->moves[plan->moveCount];
            if (!field(at, end, move.from, sizeof move.from, '\t') || !field(at, end, move.to, sizeof move.to, '\n'))
                return false;
            ++plan->moveCount;
        } else if (!strcmp(word, "remove")) {
            if (plan->committed || plan->keepCount || plan->removalCount == MovePlan::REMOVALS) return false;
            if (!field(at, end, plan->removals[plan->removalCount], sizeof plan->removals[0], '\n')) return false;
            ++plan->removalCount;
        } else if (!strcmp(word, "keep")) {
            if (plan->committed || plan->keepCount == MovePlan::KEEPS) return false;
            MovePlan::Move& keep = plan->keeps[plan->keepCount];
            if (!field(at, end, keep.from, sizeof keep.from, '\t') || !field(at, end, keep.to, sizeof keep.to, '\n'))
                return false;
            ++plan->keepCount;
        } else {
            return false;
        }
    }
    // Only a journal written to its end mark is one to act on.
    return ended && at == end && plan->moveCount > 0;
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

void cleanUp(const MovePlan& plan) {
    for (int i = 0; i < plan.removalCount; ++i) {
        RemovalProblem problem;
        if (exists(plan.removals[i])) removeFolder(plan.removals[i], &problem);
    }
    for (int i = 0; i < plan.keepCount; ++i) {
        const MovePlan::Move& keep = plan.keeps[i];
        if (!exists(keep.from)) continue;
        // The folder it goes into is made as needed.
        char parent[MAX_PATH];
        copyText(parent, sizeof parent, keep.to);
        for (char* at = parent + 3; *at; ++at)
            if (*at == '\\') {
                *at = 0;
                CreateDirectoryA(parent, nullptr);
                *at = '\\';
            }
        MoveFileExA(keep.from, keep.to, 0);
    }
}

bool journalPathFor(const char* path, char* out, size_t cap) {
    return besidePluginsFolder(path, "Vantorel.journal", out, cap);
}

bool beginJournal(const char* journal, const MovePlan& plan) {
    static char text[JOURNAL_BYTES];
    size_t n = writeJournalText(plan, text, sizeof text);
    return n && writeWhole(journal, text, n);
}

bool commitJournal(const char* journal, MovePlan& plan) {
    plan.committed = true;
    return beginJournal(journal, plan);
}

void endJournal(const char* journal) { DeleteFileA(journal); }

Recovery recoverJournal(const char* journal) {
    Recovery recovery;
    memset(&recovery, 0, sizeof recovery);
    HANDLE file = CreateFileA(journal, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return recovery;
    static char text[JOURNAL_BYTES];
    DWORD read = 0;
    bool readOk = ReadFile(file, text, sizeof text, &read, nullptr) && read < sizeof text;
    CloseHandle(file);
    if (!readOk || !readJournalText(text, read, &recovery.plan)) {
        recovery.outcome = RECOVERY_UNREADABLE;
        return recovery;
    }
    MovePlan& plan = recovery.plan;
    if (!plan.committed) {
        // Back to before: each move made is taken back, the last first. A
        // move not made has its source still in place.
        for (int i = plan.moveCount - 1; i >= 0; --i) {
            const MovePlan::Move& move = plan.moves[i];
            if (exists(move.from) || !exists(move.to)) continue;
            if (!MoveFileExA(move.to, move.from, 0)) {
                recovery.outcome = RECOVERY_STUCK;
                return recovery;
            }
        }
        dropStaged(plan);
        recovery.outcome = RECOVERY_UNDONE;
    } else {
        // The change was whole: its clean-up is finished.
        cleanUp(plan);
        dropStaged(plan);
        recovery.outcome = RECOVERY_FINISHED;
    }
    endJournal(journal);
    return recovery;
}
