// Dropped folders and archives: each a unit staged and put in place whole.
#include "install/installDrop.h"

#include "describe/descriptionExtractor.h"
#include "describe/descriptionText.h"
#include "runtime/folderWalk.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "describe/versionExtractor.h"
#include "install/archiveExtract.h"
#include "install/fileCopy.h"
#include "ui/failureReport.h"
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

// Question lines for one folder or archive: its name (with its size and
// target for an archive) when anything needs saying about it.
void addUnitLines(InstallQuestion& q, InstallUnit& unit, bool always) {
    const char* name = baseName(unit.item->FindData.cFileName);
    bool unfitOnly = unit.dlls && !unit.plugins;
    bool notes = unit.exists || unit.pathTooLong || unfitOnly || unit.refused || !unit.targetFits || unit.blocked;
    if (!always && !notes) return;
    if (unit.kind == UNIT_ARCHIVE) {
        char size[32];
        totalText(unit.item->FindData.nFileSizeLow, size, sizeof size);
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
    addTargetLines(q, unit, unit.match ? unit.matchedDll : nullptr);
}

// A unit that cannot go where it should is told at once and not asked about:
// its folder's path is too long, a file is in its way, or a path in it
// cannot be read.
bool cannotGo(InstallUnit& unit) {
    const char* name = baseName(unit.item->FindData.cFileName);
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

// Stages one folder or archive unit's content and puts it in place.
void installUnit(Drop& drop, InstallUnit& unit) {
    if (unit.failed) {
        discardStage(unit);
        return;
    }
    bool ok = !unit.refused && !copyStopped();
    if (unit.refused) noteItemFailure(baseName(unit.item->FindData.cFileName), message(MLoadedSkipped));
    if (ok && unit.kind == UNIT_FOLDER) {
        ok = stageFor(unit) && copyTreeInto(unit.item->FindData.cFileName, unit.stage);
    }
    if (ok) ok = placeUnit(drop, unit);
    discardStage(unit);
    settle(drop, *unit.item, ok ? 1 : 0);
}

// True when the user agreed and the folders were installed (whatever their outcome).
bool installFolders(Drop& drop, int first) {
    DWORD size = 0;
    int plugins = 0;
    for (int i = first; i < drop.unitCount; ++i) {
        InstallUnit& unit = drop.units[i];
        scanUnitContent(drop.panel, unit, unit.item->FindData.cFileName);
        settleUnitTarget(drop.panel->handle, unit, baseName(unit.item->FindData.cFileName));
        size += unit.size;
        plugins += unit.plugins;
    }
    int asked = 0;
    for (int i = first; i < drop.unitCount; ++i)
        if (!cannotGo(drop.units[i])) ++asked;
    if (!asked) return true;   // nothing to ask about; the failures are told
    InstallQuestion& q = *question;
    char line[128];
    q.add(message(MAskInstallFolders));
    q.add("");
    snprintf(line, sizeof line, "  %s: %u", message(MInstallCount), static_cast<unsigned>(asked));
    q.add(line);
    char sizeText[32];
    totalText(size, sizeText, sizeof sizeText);
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

int ignoreEntry(const WIN32_FIND_DATAA*, const char*, void*) { return 0; }

// Unpacks every archive into a staging folder first (nothing lands in the
// plugins tree before the user agrees), then asks with what they hold. True
// when the user was asked and agreed.
bool installArchives(Drop& drop, int first) {
    // The progress box of the folders would stay drawn around the question.
    progress.stop();
    int staged = 0;
    for (int i = first; i < drop.unitCount; ++i) {
        InstallUnit& unit = drop.units[i];
        const char* name = unit.item->FindData.cFileName;
        char stem[MAX_PATH];
        copyText(stem, sizeof stem, baseName(name));
        if (char* dot = strrchr(stem, '.')) *dot = 0;
        copyText(unit.target, sizeof unit.target, pluginsRoot);
        unit.targetFits = appendWhole(unit.target, sizeof unit.target, stem) && strlen(unit.target) < MAX_PATH - 1;
        if (!unit.targetFits) appendText(unit.target, sizeof unit.target, stem);
        if (cannotGo(unit)) continue;
        if (!stageFor(unit) || !extractArchiveInto(drop.panel, name, unit.stage)) {
            unit.failed = true;
            discardStage(unit);
            continue;
        }
        scanUnitContent(drop.panel, unit, unit.stage);
        char line[MAX_PATH + 64];
        if (walkFolder(unit.stage, ignoreEntry, nullptr, 0) == 0) {
            snprintf(line, sizeof line, "%s: %s", baseName(name), message(MFailNothingExtracted));
            noteFailure(line);
            unit.failed = true;
        }
        if (!unit.failed && !unit.dlls) {
            // An archive named after an installed plugin promised that plugin.
            char dll[MAX_PATH];
            copyText(dll, sizeof dll, stem);
            bool named = appendWhole(dll, sizeof dll, ".dll") && installedPluginOf(drop.panel, dll);
            char folder[MAX_PATH];
            copyText(folder, sizeof folder, pluginsRoot);
            if (!named && appendWhole(folder, sizeof folder, stem)) named = folderExists(folder);
            if (named) {
                snprintf(line, sizeof line, "%s: %s", baseName(name), message(MFailNoDllExtracted));
                noteFailure(line);
                unit.failed = true;
            }
        }
        if (unit.failed) {
            discardStage(unit);
            continue;
        }
        settleUnitTarget(drop.panel->handle, unit, stem);
        if (cannotGo(unit)) {
            discardStage(unit);
            continue;
        }
        ++staged;
    }
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
