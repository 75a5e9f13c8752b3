// A DLL dropped with its companions: one plugin folder, new or updated.
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

// The description shown for a DLL: from a help file among the dropped items
// first, else from the DLL's folder, else the one the list shows for the
// plugin it updates; one pair of brackets either way.
void describe(const Drop& drop, const char* dllFolder, const CatalogueRecord* updated, char* out, size_t cap) {
    char found[128] = "";
    for (int i = 0; i < drop.count && !found[0]; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (isFolder(item) || !hasExtension(item.FindData.cFileName, ".hlf")) continue;
        FileHandle file(item.FindData.cFileName, "rt");
        if (file.get()) scanHelpContents(readFilePiece, file.get(), found, sizeof found);
    }
    if (!found[0]) extractDescription(found, dllFolder, nullptr);
    if (!found[0] && updated) copyTextN(found, sizeof found, updated->description, boundedLength(updated->description, sizeof updated->description));
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
    noteMatch(unit, installedPluginOf(drop.panel, dllBase), dllName);
    for (int i = 0; i < drop.count; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (&item == drop.lastDll || isFolder(item) || !installable(item) ||
            !hasExtension(item.FindData.cFileName, ".dll") || !isFar170Plugin(item.FindData.cFileName))
            continue;
        noteMatch(unit, installedPluginOf(drop.panel, baseName(item.FindData.cFileName)), item.FindData.cFileName);
    }
    char stem[MAX_PATH];
    copyText(stem, sizeof stem, dllBase);
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    settleUnitTarget(drop.panel->handle, unit, stem);
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
    describe(drop, dllFolder, unit.match, description, sizeof description);

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
            q.add(message(unit.fromPluginPanel ? MFromPluginPanel1 : MLoadedNoUpdate));
            q.add(message(unit.fromPluginPanel ? MFromPluginPanel2 : MMustUnload));
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


}  // namespace installing
