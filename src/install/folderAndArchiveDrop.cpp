// Dropped folders and archives: each a unit staged and put in place whole.
#include "install/drop.h"

#include "install/archiveExtract.h"
#include "install/fileCopy.h"
#include "install/unitPlacement.h"
#include "runtime/folderWalk.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/failureReport.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

namespace installing {

namespace {

// Question lines for one folder or archive: its name (with its size and
// target for an archive) when anything needs saying about it.
void addUnitLines(InstallQuestion& q, InstallUnit& unit, bool always) {
    const char* name = fileNameOf(unit.item->FindData.cFileName);
    bool unfitOnly = unit.dlls && !unit.plugins;
    bool notes = unit.exists || unit.pathTooLong || unfitOnly || unit.refused || !unit.targetFits || unit.blocked;
    if (!always && !notes) return;
    if (unit.kind == UNIT_ARCHIVE) {
        char size[32];
        bytesText(unit.item->FindData.nFileSizeLow, size, sizeof size);
        // An update names its target below, with the plugin it replaces.
        if (unit.exists) {
            snprintf(q.next(), 2 * MAX_PATH, "%s (%s %s)", name, size, message(MInstallBytes));
        } else {
            snprintf(q.next(), 2 * MAX_PATH, "%s (%s %s) %s", name, size, message(MInstallBytes), message(MInstallInto));
            q.addPath(unit.target);
        }
    } else {
        q.add(name);
    }
    if (unfitOnly)
        for (int i = 0; i < unit.unfitCount && i < UNFIT_KEPT; ++i) addUnfitLines(q, unit.unfit[i]);
    addTargetLines(q, unit, unit.match ? unit.matchedDll : nullptr,
                   unit.kind == UNIT_ARCHIVE ? unit.stage : unit.item->FindData.cFileName);
}

// Stages one folder or archive unit's content and puts it in place.
void installUnit(Drop& drop, InstallUnit& unit) {
    if (unit.failed) {
        discardStage(unit);
        return;
    }
    bool ok = !unit.refused && !copyStopped();
    if (unit.refused) noteItemFailure(fileNameOf(unit.item->FindData.cFileName), message(MLoadedSkipped));
    if (ok && unit.kind == UNIT_FOLDER) {
        ok = stageFor(unit) && copyTreeInto(unit.item->FindData.cFileName, unit.stage);
    }
    if (ok) ok = placeUnit(drop, unit);
    discardStage(unit);
    if (ok) markInstalled(drop, *unit.item);
}

}  // namespace

// True when the user agreed and the folders were installed (whatever their outcome).
bool installFolders(Drop& drop, int first) {
    DWORD size = 0;
    int plugins = 0;
    for (int i = first; i < drop.unitCount; ++i) {
        InstallUnit& unit = drop.units[i];
        scanUnitContent(drop.panel, unit, unit.item->FindData.cFileName);
        settleUnitTarget(drop.panel->handle, unit, fileNameOf(unit.item->FindData.cFileName));
        size += unit.size;
        plugins += unit.plugins;
    }
    int asked = 0;
    for (int i = first; i < drop.unitCount; ++i)
        if (!refuseIfCannotGo(drop.units[i])) ++asked;
    if (!asked) return true;   // nothing to ask about; the failures are told
    InstallQuestion& q = *question;
    char line[128];
    q.add(PLUGIN_TITLE);
    q.add(message(MAskInstallFolders));
    snprintf(line, sizeof line, "%s: %u", message(MInstallCount), static_cast<unsigned>(asked));
    q.add(line);
    char sizeText[32];
    bytesText(size, sizeText, sizeof sizeText);
    snprintf(line, sizeof line, "%s: %s", message(MInstallSize), sizeText);
    q.add(line);
    if (!plugins) q.add(message(MNoPluginDll));
    bool any = false;
    for (int i = first; i < drop.unitCount; ++i) {
        if (drop.units[i].failed) continue;
        addUnitLines(q, drop.units[i], false);
        if (!drop.units[i].refused) any = true;
    }
    q.add("");
    if (!q.ask(any, true)) return false;
    progress.start(message(MCopying), static_cast<int>(size), drop.quiet);
    for (int i = first; i < drop.unitCount; ++i) installUnit(drop, drop.units[i]);
    return true;
}

namespace {

bool folderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An archive named after an installed plugin, or after a folder in the
// plugins root, promised that plugin: unpacked without a DLL, it failed.
bool promisedPlugin(const Drop& drop, const char* stem) {
    char dll[MAX_PATH];
    copyText(dll, sizeof dll, stem);
    if (appendWhole(dll, sizeof dll, ".dll") && installedPluginOf(drop.panel, dll)) return true;
    char folder[MAX_PATH];
    copyText(folder, sizeof folder, pluginsRoot);
    return appendWhole(folder, sizeof folder, stem) && folderExists(folder);
}

int ignoreEntry(const WIN32_FIND_DATAA*, const char*, void*) { return 0; }

// Unpacks one archive into a staging folder and settles where it goes; true
// when it is staged and can be asked about.
bool stageArchive(Drop& drop, InstallUnit& unit) {
    const char* name = unit.item->FindData.cFileName;
    char stem[MAX_PATH];
    copyText(stem, sizeof stem, fileNameOf(name));
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    copyText(unit.target, sizeof unit.target, pluginsRoot);
    unit.targetFits = appendWhole(unit.target, sizeof unit.target, stem) && strlen(unit.target) < MAX_PATH - 1;
    if (!unit.targetFits) appendText(unit.target, sizeof unit.target, stem);
    if (refuseIfCannotGo(unit)) return false;
    if (!stageFor(unit) || !extractArchiveInto(drop.panel, name, unit.stage)) {
        unit.failed = true;
        discardStage(unit);
        return false;
    }
    scanUnitContent(drop.panel, unit, unit.stage);
    int why = 0;
    if (walkFolder(unit.stage, ignoreEntry, nullptr, 0) == 0) why = MFailNothingExtracted;
    else if (!unit.dlls && promisedPlugin(drop, stem)) why = MFailNoDllExtracted;
    if (why) {
        noteItemFailure(fileNameOf(name), message(why));
        unit.failed = true;
        discardStage(unit);
        return false;
    }
    settleUnitTarget(drop.panel->handle, unit, stem);
    if (!refuseIfCannotGo(unit)) return true;
    discardStage(unit);
    return false;
}

}  // namespace

// Unpacks every archive into a staging folder first (nothing lands in the
// plugins tree before the user agrees), then asks with what they hold. True
// when the user was asked and agreed.
bool installArchives(Drop& drop, int first) {
    // The progress box of the folders would stay drawn around the question.
    progress.stop();
    int staged = 0;
    for (int i = first; i < drop.unitCount; ++i)
        if (stageArchive(drop, drop.units[i])) ++staged;
    if (!staged) return true;   // nothing to ask about; the failures are told

    InstallQuestion& q = *question;
    q.add(PLUGIN_TITLE);
    q.add(message(MAskInstallArchives));
    bool any = false;
    for (int i = first; i < drop.unitCount; ++i) {
        InstallUnit& unit = drop.units[i];
        if (unit.failed) continue;
        addUnitLines(q, unit, true);
        if (!unit.refused) any = true;
    }
    q.add("");
    bool agreed = q.ask(any, false);
    for (int i = first; i < drop.unitCount; ++i) {
        InstallUnit& unit = drop.units[i];
        if (unit.failed) continue;
        if (agreed) installUnit(drop, unit);
        else discardStage(unit);
    }
    return agreed;
}

}  // namespace installing
