#include "install/unitPlacement.h"

#include "farRecords/folderRelease.h"
#include "farRecords/recordSync.h"
#include "folders/dllSwitch.h"
#include "folders/besidePlugins.h"
#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "folders/userFiles.h"
#include "install/fileCopy.h"
#include "runtime/folderWalk.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "ui/failureReport.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

namespace installing {

namespace {

void noteWhy(int first, const char* path, unsigned long error) {
    char reason[160];
    describeWindowsError(error, reason, sizeof reason);
    notePathFailure(message(first), path, reason);
}

}  // namespace

// The staging folder for a unit, or false with the failure noted.
bool stageFor(InstallUnit& unit) {
    if (makeStagingFolder(unit.target, unit.stage, sizeof unit.stage)) return true;
    unit.stage[0] = 0;
    noteWhy(MFailStage, unit.target, GetLastError());
    return false;
}

void discardStage(InstallUnit& unit) {
    if (unit.stage[0]) removeFolderTree(unit.stage);
    unit.stage[0] = 0;
}

// Copies a folder tree into folder (which exists); 1 when every step succeeded.
int copyTreeInto(const char* source, const char* folder) {
    int ok = copyEntry(nullptr, source, const_cast<char*>(folder));
    walkFolder(source, copyEntry, &ok, 1);
    if (copyStopped()) ok = 0;
    return ok;
}

bool refuseIfCannotGo(InstallUnit& unit) {
    const char* name = fileNameOf(unit.item->FindData.cFileName);
    if (unit.otherMatch) {
        char line[2 * MAX_PATH];
        snprintf(line, sizeof line, "%s %s, %s", message(MTwoInstalled), fileNameOf(unit.match->dllPath),
                 fileNameOf(unit.otherMatch->dllPath));
        noteItemFailure(name, line);
    } else if (unit.looseMatch) {
        noteItemFailure(name, message(MLooseInstalled));
    } else if (!unit.targetFits || unit.blocked) {
        noteWhy(MFailFolder, unit.target, unit.blocked ? ERROR_FILE_EXISTS : ERROR_FILENAME_EXCED_RANGE);
    } else if (unit.pathTooLong) {
        notePathFailure(message(MFailDllPathTooLong), unit.item->FindData.cFileName, nullptr);
    } else {
        return false;
    }
    unit.failed = true;
    return true;
}

namespace {

struct OldFiles {
    const char* stage;
    const char* target;
    int ok;
};

// One file of the old folder into the stage, unless the new build has it.
// A plugin DLL the new build holds elsewhere in its tree stays behind: FAR
// would list the plugin twice.
int keepOldEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    OldFiles* old = static_cast<OldFiles*>(context);
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && hasExtension(entry->cFileName, ".dll")) {
        if (fileNamedUnder(old->stage, entry->cFileName)) return 0;
    }
    // A file of the user's that the new build also brings, changed: the
    // user's copy stays, the build's goes beside it.
    char here[MAX_PATH], there[MAX_PATH], aside[MAX_PATH];
    copyText(here, sizeof here, folder);
    copyText(there, sizeof there, old->stage);
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && appendWhole(here, sizeof here, entry->cFileName) &&
        strlen(here) > strlen(old->target) && appendWhole(there, sizeof there, here + strlen(old->target)) &&
        usersCopyStays(here, there)) {
        copyText(aside, sizeof aside, there);
        if (!appendWhole(aside, sizeof aside, NEW_COPY_SUFFIX) || !MoveFileExA(there, aside, MOVEFILE_REPLACE_EXISTING))
            old->ok = 0;
    }
    return copyEntry(entry, folder, &old->ok);
}

// What the old folder holds and the new build does not replace goes into
// the stage: the plugin's settings, what the user kept there, what its
// ExitFAR wrote as it was let go of. 1 when every file went.
int keepOldFiles(const InstallUnit& unit) {
    OldFiles old = {unit.stage, unit.target, 1};
    if (!copyEntry(nullptr, unit.target, const_cast<char*>(unit.stage))) return 0;
    keepExistingFiles(true);
    walkFolder(unit.target, keepOldEntry, &old, 1);
    keepExistingFiles(false);
    return old.ok && !copyStopped();
}

// How FAR takes the placed unit: at the plugin's next use, or after a restart.
void countPlaced(Drop& drop, const InstallUnit& unit, const RecordsSynced& synced) {
    if (unit.plugins) ++drop.pluginUnits;
    else ++drop.fileUnits;
    if (!unit.plugins && unit.match) ++drop.pluginGone;
    if (!unit.plugins) return;
    if (unit.match && isSwitchedOff(unit.match->dllPath)) {
        ++drop.staysOff;
        return;
    }
    if (synced.unknownBuild && unit.exists) ++drop.restartFirst;
    else if (synced.rearmed && !synced.gone && !synced.unknown) ++drop.updatedInPlace;
}

}  // namespace

// Moves a finished stage into place; the stage is gone either way. The
// plugins FAR has loaded from the target are let go of first (only when
// updateInPlaceAvailable allowed it), the old folder's own files join the
// new ones after that, and whichever folder ends up in place, FAR's records
// of the DLLs there are made to agree with it.
bool placeUnit(Drop& drop, InstallUnit& unit) {
    const char* name = fileNameOf(unit.item->FindData.cFileName);
    ReleasedPlugins released;
    memset(&released, 0, sizeof released);
    if (unit.loaded && !unit.refused) {
        if (int why = releasePluginsUnder(drop.panel->handle, unit.target, &released)) {
            noteItemFailure(name, message(why));
            if (released.stillLoaded[0]) notePathFailure(" ", released.stillLoaded, nullptr);
            discardStage(unit);
            return false;
        }
    }
    if (unit.exists && !unit.blocked && !keepOldFiles(unit)) {
        syncRecordsUnder(unit.target);   // FAR gets back what it let go of
        noteFailure(message(MOldKept));
        discardStage(unit);
        return false;
    }
    // An update of a plugin switched off stays off.
    if (unit.match && isSwitchedOff(unit.match->dllPath)) keepSwitchedOff(unit.stage);
    PlaceResult placed = placeStagedFolder(unit.stage, unit.target);
    RecordsSynced synced = syncRecordsUnder(unit.target);
    if (placed.outcome == PLACE_DONE) {
        unit.stage[0] = 0;
        countPlaced(drop, unit, synced);
        return true;
    }
    // What failed was the journal: its own box line names it.
    noteWhy(placed.journalFailed ? MJournalUnwritable : MFailPlace, unit.target, placed.error);
    if (placed.outcome == PLACE_RESTORE_FAILED) {
        notePathFailure(message(MFailOldLeft), placed.heldAside, nullptr);
    } else if (unit.exists) {
        noteFailure(message(MOldKept));
    }
    discardStage(unit);
    return false;
}

}  // namespace installing
