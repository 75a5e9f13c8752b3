#include "install/install.h"

#include "describe/descriptionExtractor.h"
#include "describe/descriptionText.h"
#include "catalogue/folderWalk.h"
#include "dll/pluginFitness.h"
#include "state/pluginFolder.h"
#include "describe/versionExtractor.h"
#include "install/archiveExtract.h"
#include "install/fileCopy.h"
#include "install/installQuestion.h"
#include "install/installReport.h"
#include "install/installTarget.h"
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

namespace {

struct Drop {
    PanelState* panel;
    PluginPanelItem* items;
    int count;
    int dlls, folders, archives;
    PluginPanelItem* lastDll;
    DWORD total;        // low size words only; wraps like the host's own 32-bit sums
    int quiet;
    int installed;      // items that went over whole
    int pluginUnits;    // units placed that hold a plugin
    int fileUnits;      // units placed that hold none
    int updatedInPlace; // plugin units FAR had loaded and loads again at their next use
    InstallUnit* units;
    int unitCount;
};

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

void classify(Drop& drop) {
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        item.UserData = 0;
        if (!installable(item)) continue;
        if (isFolder(item)) {
            ++drop.folders;
            continue;
        }
        drop.total += item.FindData.nFileSizeLow;
        const char* name = item.FindData.cFileName;
        if (hasExtension(name, ".dll")) {
            ++drop.dlls;
            drop.lastDll = &item;
        } else if (hasExtension(name, ".rar") || hasExtension(name, ".arj") || hasExtension(name, ".zip")) {
            ++drop.archives;
            item.UserData = 1;
        }
    }
}

void totalText(DWORD total, char* out, size_t cap) {
    snprintf(out, cap, "%lu", static_cast<unsigned long>(total));
    insertThousands(out, cap);
}

InstallQuestion* question;   // one at a time; too big for the host's stack

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

// The description shown for a DLL: from a help file among the dropped items
// first, else from the DLL's folder; one pair of brackets either way.
void describe(const Drop& drop, const char* dllFolder, char* out, size_t cap) {
    char found[128] = "";
    for (int i = 0; i < drop.count && !found[0]; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (isFolder(item) || !hasExtension(item.FindData.cFileName, ".hlf")) continue;
        FileHandle file(item.FindData.cFileName, "rt");
        if (file.get()) scanHelpContents(readFilePiece, file.get(), found, sizeof found);
    }
    if (!found[0]) extractDescription(found, dllFolder, nullptr);
    if (found[0]) snprintf(out, cap, "(%s)", found);
    else copyText(out, cap, message(MNoDescription));
}

// Copies the dropped items of a DLL drop into dest (ending in a backslash).
bool copyDroppedItems(Drop& drop, const char* dest) {
    bool ok = true;
    for (int i = 0; i < drop.count && !copyStopped(); ++i) {
        PluginPanelItem& item = drop.items[i];
        if (!installable(item)) continue;
        const char* name = item.FindData.cFileName;
        if (isFolder(item)) {
            char treeTarget[MAX_PATH];
            copyText(treeTarget, sizeof treeTarget, dest);
            int created = 0;
            if (!appendWhole(treeTarget, sizeof treeTarget, baseName(name)) || !makeFolder(treeTarget, &created) ||
                !copyTreeInto(name, treeTarget))
                ok = false;
        } else {
            // A name with a folder in front is copied under its own name.
            char sourceFolder[MAX_PATH];
            copyTextN(sourceFolder, sizeof sourceFolder, name, static_cast<size_t>(baseName(name) - name));
            WIN32_FIND_DATAA entry;
            memset(&entry, 0, sizeof entry);
            memcpy(&entry, &item.FindData, sizeof item.FindData);
            copyText(entry.cFileName, sizeof entry.cFileName, baseName(name));
            int itemOk = 1;
            if (!copyEntry(nullptr, sourceFolder, const_cast<char*>(dest)) || !copyEntry(&entry, sourceFolder, &itemOk))
                ok = false;
        }
    }
    return ok && !copyStopped();
}

bool cannotGo(InstallUnit& unit);

// Everything dropped together with a DLL goes into one plugin folder: the
// installed plugin's of the same DLL, else a new one named after the last DLL.
int installPlugin(Drop& drop) {
    InstallUnit& unit = drop.units[0];
    unit.kind = UNIT_PLUGIN;
    unit.item = drop.lastDll;
    const char* dllName = drop.lastDll->FindData.cFileName;
    const char* dllBase = baseName(dllName);

    // Every dropped DLL is matched; the last DLL's own plugin first.
    unit.match = installedPluginOf(drop.panel, dllBase);
    if (unit.match) copyText(unit.matchedDll, sizeof unit.matchedDll, dllName);
    for (int i = 0; i < drop.count && !unit.match; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (isFolder(item) || !installable(item) || !hasExtension(item.FindData.cFileName, ".dll") ||
            !isFar170Plugin(item.FindData.cFileName))
            continue;
        unit.match = installedPluginOf(drop.panel, baseName(item.FindData.cFileName));
        if (unit.match) copyText(unit.matchedDll, sizeof unit.matchedDll, item.FindData.cFileName);
    }
    char stem[MAX_PATH];
    copyText(stem, sizeof stem, dllBase);
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    settleUnitTarget(unit, stem);
    if (!unit.match) copyText(unit.matchedDll, sizeof unit.matchedDll, dllName);

    unit.item = drop.lastDll;
    if (cannotGo(unit)) {
        closingBox(drop);
        return 0;
    }
    char dllFolder[MAX_PATH];
    copyTextN(dllFolder, sizeof dllFolder, dllName, static_cast<size_t>(dllBase - dllName));
    if (!dllFolder[0]) copyText(dllFolder, sizeof dllFolder, ".\\");
    char description[128];
    describe(drop, dllFolder, description, sizeof description);

    InstallQuestion& q = *question;
    q.add(PLUGIN_TITLE);
    snprintf(q.next(), 2 * MAX_PATH, "%s%s\"", message(MInstallPlugin), stem);
    q.add(description);
    for (int i = 0; i < drop.count; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (isFolder(item) || !installable(item) || !hasExtension(item.FindData.cFileName, ".dll")) continue;
        if (!isFar170Plugin(item.FindData.cFileName)) addUnfitLines(q, item.FindData.cFileName);
        else ++unit.plugins;
    }
    if (!unit.match && unit.exists && !unit.blocked) {
        // A folder of that name holding something else: its files are replaced.
        q.warning = true;
        q.add(message(MTargetExists));
        q.addPath(unit.target);
        if (unit.refused) {
            q.add(message(MLoadedNoUpdate));
            q.add(message(MMustUnload));
        }
    } else if (!unit.blocked) {
        addTargetLines(q, unit, unit.matchedDll);
    }
    q.add("");
    char size[32];
    totalText(drop.total, size, sizeof size);
    snprintf(q.next(), 2 * MAX_PATH, "%s %s", size, message(MInstallBytes));
    q.add("");
    if (!q.ask(!unit.refused, false)) return 0;
    progress.start(message(MCopying), static_cast<int>(drop.total), drop.quiet);
    bool ok = stageFor(unit);
    // An update keeps the plugin's other files: the new ones go over a copy of the old folder.
    if (ok && unit.exists) ok = copyTreeInto(unit.target, unit.stage) != 0;
    char dest[MAX_PATH];
    copyText(dest, sizeof dest, unit.stage);
    if (ok) ok = appendWhole(dest, sizeof dest, "\\") && appendWhole(dest, sizeof dest, unit.below);
    if (ok && unit.below[0]) ok = makeFolder(dest, nullptr) != 0;
    if (ok) ok = copyDroppedItems(drop, dest);
    if (ok) ok = placeUnit(drop, unit);
    discardStage(unit);
    if (ok) {
        for (int i = 0; i < drop.count; ++i)
            if (installable(drop.items[i])) settle(drop, drop.items[i], 1);
    }
    closingBox(drop);
    return ok && drop.installed == drop.count ? 1 : 0;
}

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
        snprintf(q.next(), 2 * MAX_PATH, "%s (%s %s) %s", name, size, message(MInstallBytes), message(MInstallInto));
        if (!unit.exists) q.addPath(unit.target);
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
    if (!unit.targetFits || unit.blocked) {
        noteWhy(MFailFolder, unit.target, unit.blocked ? ERROR_FILE_EXISTS : ERROR_FILENAME_EXCED_RANGE);
    } else if (unit.pathTooLong) {
        noteInstallPathFailure(message(MFailDllPathTooLong), unit.item->FindData.cFileName, nullptr);
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
    if (unit.refused) noteInstallFailure(baseName(unit.item->FindData.cFileName), message(MLoadedSkipped));
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
        settleUnitTarget(unit, baseName(unit.item->FindData.cFileName));
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
            noteInstallFailure(line);
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
                noteInstallFailure(line);
                unit.failed = true;
            }
        }
        if (unit.failed) {
            discardStage(unit);
            continue;
        }
        settleUnitTarget(unit, stem);
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

}  // namespace

int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode) {
    Drop drop;
    memset(&drop, 0, sizeof drop);
    drop.panel = panel;
    drop.items = items;
    drop.count = items && count > 0 ? count : 0;
    drop.quiet = (opMode & (OPM_SILENT | OPM_FIND)) ? 1 : 0;
    clearInstallReport();
    resetCopyStop();
    classify(drop);

    // Whatever is not installed stays selected: the host then keeps what the
    // items' flags say instead of clearing the whole selection.
    if (!drop.dlls && !drop.folders && !drop.archives) {
        showMsg(MNothingToInstall);
        return 0;
    }
    drop.units = heapArray<InstallUnit>(static_cast<size_t>(drop.count) + 1);
    question = static_cast<InstallQuestion*>(heapAlloc(sizeof(InstallQuestion)));
    if (!drop.units || !question) {
        heapFree(drop.units);
        heapFree(question);
        question = nullptr;
        return 0;
    }
    new (question) InstallQuestion();
    int result = 0;
    if (drop.dlls) {
        drop.unitCount = 1;
        result = installPlugin(drop);
    } else {
        for (int i = 0; i < drop.count; ++i) {
            PluginPanelItem& item = drop.items[i];
            if (!installable(item) || !isFolder(item)) continue;
            InstallUnit& unit = drop.units[drop.unitCount++];
            unit.kind = UNIT_FOLDER;
            unit.item = &item;
        }
        int archives = drop.unitCount;
        for (int i = 0; i < drop.count; ++i) {
            PluginPanelItem& item = drop.items[i];
            if (item.UserData != 1) continue;
            InstallUnit& unit = drop.units[drop.unitCount++];
            unit.kind = UNIT_ARCHIVE;
            unit.item = &item;
        }
        bool agreed = false;
        if (archives > 0) {
            int saved = drop.unitCount;
            drop.unitCount = archives;
            agreed = installFolders(drop, 0);
            drop.unitCount = saved;
        }
        if (drop.unitCount > archives) agreed = installArchives(drop, archives) || agreed;
        if (agreed) {
            closingBox(drop);
            result = drop.installed == drop.count ? 1 : 0;
        }
    }
    heapFree(drop.units);
    heapFree(question);
    question = nullptr;
    tidyStagingFolders();
    return result;
}
