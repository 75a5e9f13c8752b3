#include "folders/journalRepair.h"

#include "folders/besidePlugins.h"
#include "folders/fileOps.h"
#include "folders/folderRemoval.h"
#include "folders/journalRun.h"
#include "runtime/text.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

namespace {

const size_t JOURNAL_BYTES = 16 * 1024;

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool readJournal(const char* journal, char* text, size_t cap, DWORD* read) {
    HANDLE file = CreateFileA(journal, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = ReadFile(file, text, static_cast<DWORD>(cap), read, nullptr) && *read < cap;
    CloseHandle(file);
    return ok;
}

// The repair notes its steps: a journal it cannot add to is one it must
// not act on. One made read-only is ours to make writable again.
bool writable(const char* journal) {
    DWORD attributes = GetFileAttributesA(journal);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        fsSetAttributes(journal, attributes & ~FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(journal, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// How many renames are in effect now: those noted as made, and the one in
// flight if the disk shows it made, less those noted as taken back, and
// the one in flight back if the disk shows it taken back.
int renamesInEffect(const MovePlan& plan, const JournalProgress& progress) {
    int made = 0;
    while (made < plan.moveCount && (progress.done & (1u << made))) ++made;
    if (!progress.undone && !progress.committed && made < plan.moveCount && !exists(plan.moves[made].from) &&
        exists(plan.moves[made].to))
        ++made;
    // A journal without notes: the last rename whose effect the disk shows.
    for (int i = plan.moveCount - 1; progress.older && i >= made; --i)
        if (!exists(plan.moves[i].from) && exists(plan.moves[i].to)) made = i + 1;
    if (progress.committed) made = plan.moveCount;
    int inEffect = made;
    while (inEffect > 0 && (progress.undone & (1u << (inEffect - 1)))) --inEffect;
    if (!progress.committed && inEffect > 0) {
        const MovePlan::Move& last = plan.moves[inEffect - 1];
        if (exists(last.from) && !exists(last.to)) --inEffect;
    }
    return inEffect;
}

// Whether renames can be walked from inEffect down to 0 (back) or up to
// the plan's end (forward) with every source there and every target free.
bool walkable(const MovePlan& plan, int inEffect, bool back) {
    static char there[MovePlan::MOVES * 2][260];
    static bool present[MovePlan::MOVES * 2];
    int known = 0;
    auto slot = [&](const char* path) -> bool& {
        for (int i = 0; i < known; ++i)
            if (equalNoCase(there[i], path)) return present[i];
        copyText(there[known], sizeof there[0], path);
        present[known] = exists(path);
        return present[known++];
    };
    int from = back ? inEffect - 1 : inEffect, to = back ? -1 : plan.moveCount, step = back ? -1 : 1;
    for (int i = from; i != to; i += step) {
        const char* source = back ? plan.moves[i].to : plan.moves[i].from;
        const char* target = back ? plan.moves[i].from : plan.moves[i].to;
        bool& s = slot(source);
        bool& t = slot(target);
        if (!s || t) return false;
        s = false;
        t = true;
    }
    return true;
}

bool letGoOfFolders(const MovePlan& plan, LetGoFunction letGo, void* context, Recovery* recovery) {
    for (int i = 0; i < plan.folderCount && letGo; ++i) {
        if (letGo(plan.folders[i], context)) continue;
        recovery->why = STUCK_HELD;
        copyText(recovery->path, sizeof recovery->path, plan.folders[i]);
        return false;
    }
    return true;
}

bool stuck(Recovery* recovery, StuckReason why, const char* path) {
    recovery->outcome = RECOVERY_STUCK;
    recovery->why = why;
    recovery->error = GetLastError();
    copyText(recovery->path, sizeof recovery->path, path);
    return false;
}

// Back to before: the renames in effect are taken back, the last first,
// then what the change had staged goes.
bool undo(const char* journal, const MovePlan& plan, int inEffect, bool dropped, Recovery* recovery) {
    for (int i = inEffect - 1; i >= 0; --i) {
        if (!fsMove(plan.moves[i].to, plan.moves[i].from)) return stuck(recovery, STUCK_RENAME, plan.moves[i].to);
        if (!noteStep(journal, "undone", i)) return stuck(recovery, STUCK_JOURNAL, journal);
    }
    if (!dropped) {
        for (int i = 0; i < plan.moveCount; ++i) {
            RemovalProblem problem;
            const char* staged = plan.moves[i].from;
            if (liesInStaging(staged) && exists(staged) && !removeFolder(staged, &problem))
                return stuck(recovery, STUCK_RENAME, problem.path);
        }
        if (!noteStep(journal, "dropped")) return stuck(recovery, STUCK_JOURNAL, journal);
    }
    recovery->outcome = RECOVERY_UNDONE;
    return true;
}

// On to after: the renames not yet made are made, the plan committed and
// its clean-up finished.
bool finish(const char* journal, const MovePlan& plan, int inEffect, const JournalProgress& progress,
            Recovery* recovery) {
    for (int i = inEffect; i < plan.moveCount; ++i) {
        if (!fsMove(plan.moves[i].from, plan.moves[i].to)) return stuck(recovery, STUCK_RENAME, plan.moves[i].from);
        if (!noteStep(journal, "done", i)) return stuck(recovery, STUCK_JOURNAL, journal);
    }
    if (!progress.committed && !noteStep(journal, "commit")) return stuck(recovery, STUCK_JOURNAL, journal);
    if (!runCleanUp(journal, plan, progress.done, recovery->notKept, sizeof recovery->notKept))
        return stuck(recovery, STUCK_JOURNAL, journal);
    recovery->outcome = RECOVERY_FINISHED;
    return true;
}

// The folders things were set aside in, once empty.
void tidyHolders(const MovePlan& plan) {
    for (int i = 0; i < plan.moveCount; ++i) {
        char holder[MAX_PATH];
        copyText(holder, sizeof holder, plan.moves[i].to);
        char* slash = strrchr(holder, '\\');
        if (!slash || !liesInStaging(holder)) continue;
        *slash = 0;
        if (liesInStaging(holder) && exists(holder)) fsRemoveEmptyFolder(holder);
    }
    tidyStagingFolders();
}

}  // namespace

const Recovery& recoverJournal(const char* journal, LetGoFunction letGo, void* context) {
    static Recovery recovery;   // too big for the host's stack
    memset(&recovery, 0, sizeof recovery);
    static char text[JOURNAL_BYTES];
    DWORD read = 0;
    if (!exists(journal)) return recovery;
    JournalProgress progress;
    if (!readJournal(journal, text, sizeof text, &read) || !readJournalText(text, read, &recovery.plan, &progress)) {
        recovery.outcome = RECOVERY_UNREADABLE;
        firstPathOf(text, read, recovery.path, sizeof recovery.path);
        return recovery;
    }
    const MovePlan& plan = recovery.plan;
    if (plan.folderCount) copyText(recovery.path, sizeof recovery.path, plan.folders[0]);
    if (!writable(journal)) {
        stuck(&recovery, STUCK_JOURNAL, journal);
        return recovery;
    }
    int inEffect = renamesInEffect(plan, progress);
    bool back = !progress.committed && walkable(plan, inEffect, true);
    bool forward = !back && walkable(plan, inEffect, false);
    if (!back && !forward) {
        stuck(&recovery, STUCK_MISSING, plan.folderCount ? plan.folders[0] : plan.moves[0].from);
        return recovery;
    }
    bool moves = back ? inEffect > 0 : inEffect < plan.moveCount;
    if (moves && !letGoOfFolders(plan, letGo, context, &recovery)) {
        recovery.outcome = RECOVERY_STUCK;
        return recovery;
    }
    bool ok = back ? undo(journal, plan, inEffect, progress.dropped, &recovery)
                   : finish(journal, plan, inEffect, progress, &recovery);
    if (!ok) return recovery;
    tidyHolders(plan);
    recovery.journalLeft = !endJournal(journal);
    return recovery;
}

namespace {

// The process a staging folder's name says made it ("new-<pid>-<n>").
unsigned long makerOf(const char* name) {
    const char* dash = strchr(name, '-');
    return dash ? strtoul(dash + 1, nullptr, 16) : 0;
}

bool running(unsigned long process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process);
    if (!handle) return false;
    DWORD code = 0;
    bool alive = GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
    CloseHandle(handle);
    return alive;
}

}  // namespace

void clearStagingLeftovers(bool ownToo) {
    if (journalInTheWay()) return;
    char journals[2][260];
    int count = journalPaths(journals, 2);
    for (int i = 0; i < count; ++i) {
        // A journal FAR ended in the middle of writing, never renamed into
        // place: no change had started.
        char fresh[MAX_PATH];
        copyText(fresh, sizeof fresh, journals[i]);
        if (appendWhole(fresh, sizeof fresh, JOURNAL_BEING_WRITTEN) &&
            GetFileAttributesA(fresh) != INVALID_FILE_ATTRIBUTES)
            fsDeleteFile(fresh);
        char root[MAX_PATH], pattern[MAX_PATH];
        char* slash = strrchr(journals[i], '\\');
        if (!slash) continue;
        copyTextN(root, sizeof root, journals[i], slash + 1 - journals[i]);
        if (!appendWhole(root, sizeof root, "Vantorel.staging\\")) continue;
        copyText(pattern, sizeof pattern, root);
        if (!appendWhole(pattern, sizeof pattern, "*")) continue;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA(pattern, &entry);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            bool ours = !strncmp(entry.cFileName, "new-", 4) || !strncmp(entry.cFileName, "old-", 4);
            unsigned long maker = makerOf(entry.cFileName);
            bool own = maker == GetCurrentProcessId();
            if (!ours || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (own ? !ownToo : running(maker)))
                continue;
            char path[MAX_PATH];
            copyText(path, sizeof path, root);
            RemovalProblem problem;
            if (appendWhole(path, sizeof path, entry.cFileName)) removeFolder(path, &problem);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    tidyStagingFolders();
}
