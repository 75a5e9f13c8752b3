#include "commands/changeRepair.h"

#include "farRecords/recordSync.h"
#include "folders/moveJournal.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <windows.h>

#include <string.h>

namespace {

// FAR's records of the plugins a repaired plan moved follow the disk.
void syncMoved(const MovePlan& plan) {
    for (int i = 0; i < plan.moveCount; ++i) {
        char folder[MAX_PATH];
        copyText(folder, sizeof folder, plan.moves[i].from);
        DWORD attributes = GetFileAttributesA(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            char* slash = strrchr(folder, '\\');
            if (slash) *slash = 0;
        }
        syncRecordsUnder(folder);
    }
}

void tell(const Recovery& recovery, const char* journal) {
    if (!startupInfo.Message) return;
    char path[BOX_TEXT_CHARS + 1];
    const char* items[5];
    int n = 0;
    items[n++] = PLUGIN_TITLE;
    switch (recovery.outcome) {
    case RECOVERY_UNDONE:
    case RECOVERY_FINISHED:
        items[n++] = msgText(MRepaired);
        cutMiddle(path, BOX_TEXT_CHARS, recovery.plan.moves[0].from);
        items[n++] = path;
        items[n++] = msgText(recovery.outcome == RECOVERY_UNDONE ? MRepairUndone : MRepairFinished);
        break;
    case RECOVERY_STUCK:
        items[n++] = msgText(MRepairStuck);
        cutMiddle(path, BOX_TEXT_CHARS, journal);
        items[n++] = path;
        break;
    default:
        items[n++] = msgText(MRepairUnreadable);
        cutMiddle(path, BOX_TEXT_CHARS, journal);
        items[n++] = path;
        break;
    }
    DWORD flags = FMSG_MB_OK;
    if (recovery.outcome != RECOVERY_UNDONE && recovery.outcome != RECOVERY_FINISHED) flags |= FMSG_WARNING;
    startupInfo.Message(startupInfo.ModuleNumber, flags, "", items, n, 0);
}

}  // namespace

void repairInterruptedChanges() {
    const char* roots[2] = {pluginsRoot, personalPluginsFolder};
    char seen[MAX_PATH] = "";
    for (const char* root : roots) {
        char journal[MAX_PATH];
        if (!root || !*root || !journalPathFor(root, journal, sizeof journal) || equalNoCase(journal, seen)) continue;
        copyText(seen, sizeof seen, journal);
        if (GetFileAttributesA(journal) == INVALID_FILE_ATTRIBUTES) continue;
        static Recovery recovery;   // too big for the host's stack
        recovery = recoverJournal(journal);
        if (recovery.outcome == RECOVERY_NONE) continue;
        if (recovery.outcome == RECOVERY_UNDONE || recovery.outcome == RECOVERY_FINISHED) syncMoved(recovery.plan);
        tell(recovery, journal);
    }
}
