#include "install/installDrop.h"

#include "describe/descriptionExtractor.h"
#include "describe/descriptionText.h"
#include "catalogue/folderWalk.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "describe/versionExtractor.h"
#include "install/archiveExtract.h"
#include "install/fileCopy.h"
#include "install/installReport.h"
#include "folders/pluginSwap.h"
#include "install/updateInPlace.h"
#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/pieces.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <new>
#include <stdio.h>
#include <string.h>

namespace installing {

bool isFolder(const PluginPanelItem& item) {
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

const char* baseName(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// A name that would put its copy at the plugins root itself or above it
// (".", "..", or nothing after the last backslash) is nothing to install.
bool installable(const PluginPanelItem& item) {
    const char* name = baseName(item.FindData.cFileName);
    return name[0] && strcmp(name, ".") && strcmp(name, "..");
}

bool folderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}


void totalText(DWORD total, char* out, size_t cap) {
    snprintf(out, cap, "%lu", static_cast<unsigned long>(total));
    insertThousands(out, cap);
}

InstallQuestion* question;

// Records an item's outcome: installed items lose their selection mark.
void settle(Drop& drop, PluginPanelItem& item, int ok) {
    if (!ok) return;
    item.Flags = 0;
    ++drop.installed;
}

void noteWhy(int first, const char* path, unsigned long error) {
    char reason[160];
    describeWindowsError(error, reason, sizeof reason);
    noteInstallPathFailure(message(first), path, reason);
}

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

// Moves a finished stage into place; the stage is gone either way. A plugin
// the host has loaded gets here only when updateInPlaceAvailable allowed it:
// its update in place releases it before this and loads it again after.
bool placeUnit(Drop& drop, InstallUnit& unit) {
    // A plugin FAR has loaded is let go of first and, whichever folder ends
    // up in place, given back to FAR to load at its next use.
    ReleasedPlugins released;
    memset(&released, 0, sizeof released);
    if (unit.loaded && !unit.refused) {
        if (int why = releaseForUpdate(drop.panel->handle, unit.target, &released)) {
            loadAgainAfterUpdate(released);
            noteInstallFailure(baseName(unit.item->FindData.cFileName), message(why));
            discardStage(unit);
            return false;
        }
    }
    PlaceResult placed = placeStagedFolder(unit.stage, unit.target);
    int notBack = released.count ? loadAgainAfterUpdate(released) : 0;
    if (placed.outcome == PLACE_DONE) {
        unit.stage[0] = 0;
        if (unit.plugins) ++drop.pluginUnits;
        else ++drop.fileUnits;
        if (released.count && !notBack) ++drop.updatedInPlace;
        if (notBack) noteInstallFailure(baseName(unit.item->FindData.cFileName), message(notBack));
        return true;
    }
    noteWhy(MFailPlace, unit.target, placed.error);
    if (placed.outcome == PLACE_RESTORE_FAILED) {
        noteInstallPathFailure(message(MFailOldLeft), placed.heldAside, nullptr);
    } else if (unit.exists) {
        noteInstallFailure(message(MOldKept));
    }
    discardStage(unit);
    return false;
}

// The closing box: what was installed, what was only copied, what failed and why.
void closingBox(const Drop& drop) {
    progress.stop();
    if (copyStopped()) noteInstallFailure(message(MFailStopped));
    const char* lines[24];
    char more[64];
    int n = 0;
    lines[n++] = PLUGIN_TITLE;
    int failures = installFailureCount();
    if (failures) {
        lines[n++] = message(drop.installed ? MInstallNotAll : MInstallNothing);
        for (int i = 0; i < installFailureLinesKept(); ++i) lines[n++] = installFailureLine(i);
        if (failures > installFailureLinesKept()) {
            snprintf(more, sizeof more, message(MAndMore), failures - installFailureLinesKept());
            lines[n++] = more;
        }
    } else {
        if (drop.pluginUnits) lines[n++] = message(drop.pluginUnits == 1 ? MInstalledPlugin : MInstalledPlugins);
        if (drop.fileUnits) lines[n++] = message(MFilesCopiedOne);
    }
    if (drop.updatedInPlace) {
        lines[n++] = message(MUpdatedInPlace1);
        lines[n++] = message(MUpdatedInPlace2);
    }
    if (drop.pluginUnits > drop.updatedInPlace)
        lines[n++] = message(drop.pluginUnits == 1 ? MInstallRestartOne : MInstallRestart);
    lines[n++] = "\x01";
    if (startupInfo.Message)
        startupInfo.Message(startupInfo.ModuleNumber, failures ? FMSG_MB_OK | FMSG_WARNING : FMSG_MB_OK, "", lines,
                            n, 0);
}


}  // namespace installing
