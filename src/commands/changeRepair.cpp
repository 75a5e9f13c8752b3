#include "commands/changeRepair.h"

#include "farRecords/folderRelease.h"
#include "farRecords/recordSync.h"
#include "folders/besidePlugins.h"
#include "folders/journalRepair.h"
#include "runtime/errorText.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <string.h>

namespace {

// FAR lets go of the plugins it loaded from a folder before the repair
// moves it (FAR may have loaded the half-changed build at its start), so
// that nothing stays locked where the repair puts it.
bool letGo(const char* folder, void* panel) {
    ReleasedPlugins released;
    return releasePluginsUnder(static_cast<HANDLE>(panel), folder, &released) == 0;
}

// FAR's records of the plugins a repair moved follow the disk.
void syncRepaired(const MovePlan& plan) {
    for (int i = 0; i < plan.folderCount; ++i) syncRecordsUnder(plan.folders[i]);
    if (plan.folderCount) return;
    // A journal of the build before named no folders: those of its renames.
    for (int i = 0; i < plan.moveCount; ++i) {
        char folder[MAX_PATH];
        copyText(folder, sizeof folder, plan.moves[i].from);
        DWORD attributes = GetFileAttributesA(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            char* slash = strrchr(folder, '\\');
            if (slash) *slash = 0;
        }
        if (!liesInStaging(folder)) syncRecordsUnder(folder);
    }
}

struct Box {
    const char* items[12];
    char paths[3][BOX_TEXT_CHARS + 1];
    int n, shown;
    void line(const char* text) { items[n++] = text; }
    void path(const char* text) {
        cutMiddle(paths[shown], BOX_TEXT_CHARS, text);
        items[n++] = paths[shown++];
    }
};

int stuckText(StuckReason why) {
    switch (why) {
    case STUCK_JOURNAL: return MRepairStuckJournal;
    case STUCK_RENAME: return MRepairStuckRename;
    case STUCK_MISSING: return MRepairStuckMissing;
    default: return MRepairStuckHeld;
    }
}

void tell(const Recovery& recovery, const char* journal) {
    if (!startupInfo.Message) return;
    static Box box;
    memset(&box, 0, sizeof box);
    box.line(PLUGIN_TITLE);
    bool repaired = recovery.outcome == RECOVERY_UNDONE || recovery.outcome == RECOVERY_FINISHED;
    if (repaired) {
        box.line(msgText(MRepaired));
        box.path(recovery.path[0] ? recovery.path : recovery.plan.moves[0].from);
        box.line(msgText(recovery.outcome == RECOVERY_UNDONE ? MRepairUndone : MRepairFinished));
        if (recovery.notKept[0]) box.line(msgText(MNotKeptRecycled));
        if (recovery.journalLeft) {
            box.line(msgText(MRepairJournalLeft));
            box.path(journal);
        }
    } else if (recovery.outcome == RECOVERY_STUCK) {
        box.line(msgText(MRepairStuck));
        box.path(journal);
        box.line(msgText(stuckText(recovery.why)));
        if (recovery.why != STUCK_HELD && recovery.path[0] && !equalNoCase(recovery.path, journal))
            box.path(recovery.path);
    } else {
        box.line(msgText(MRepairUnreadable));
        box.path(journal);
        if (recovery.path[0]) {
            box.line(msgText(MRepairFirstPath));
            box.path(recovery.path);
        }
        box.line(msgText(MRepairJournalWaits));
    }
    unsigned flags = FMSG_WARNING | FMSG_MB_OK;
    if (repaired && !recovery.journalLeft) flags = FMSG_MB_OK;
    startupInfo.Message(startupInfo.ModuleNumber, flags, "", box.items, box.n, 0);
}

}  // namespace

void repairInterruptedChanges(HANDLE panel) {
    char journals[2][260];
    int count = journalPaths(journals, 2);
    for (int i = 0; i < count; ++i) {
        if (GetFileAttributesA(journals[i]) == INVALID_FILE_ATTRIBUTES) continue;
        const Recovery& recovery = recoverJournal(journals[i], letGo, panel);
        if (recovery.outcome == RECOVERY_NONE) continue;
        if (recovery.outcome == RECOVERY_UNDONE || recovery.outcome == RECOVERY_FINISHED) syncRepaired(recovery.plan);
        tell(recovery, journals[i]);
    }
    clearStagingLeftovers();
}

bool refuseWhileJournalWaits() {
    char journal[MAX_PATH];
    if (!journalInTheWay(journal, sizeof journal)) return false;
    if (startupInfo.Message) {
        char path[BOX_TEXT_CHARS + 1];
        cutMiddle(path, BOX_TEXT_CHARS, journal);
        const char* items[4] = {PLUGIN_TITLE, msgText(MJournalInTheWay), path, msgText(MRepairJournalWaits)};
        startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 4, 0);
    }
    return true;
}
