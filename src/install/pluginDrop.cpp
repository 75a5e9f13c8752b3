// A DLL dropped with its companions: one plugin folder, new or updated.
#include "install/drop.h"

#include "describe/descriptionExtractor.h"
#include "describe/descriptionText.h"
#include "dll/pluginFitness.h"
#include "folders/userFiles.h"
#include "install/fileCopy.h"
#include "install/unitPlacement.h"
#include "runtime/handles.h"
#include "runtime/pieces.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

namespace installing {

namespace {

bool isDroppedDll(const PluginPanelItem& item) {
    return !isFolderItem(item) && installableItem(item) && hasExtension(item.FindData.cFileName, ".dll");
}

// The description shown for a DLL: from a help file among the dropped items
// first, else from the DLL's folder, else the one the list shows for the
// plugin it updates; one pair of brackets either way.
void describe(const Drop& drop, const char* dllFolder, const CatalogueRecord* updated, char* out, size_t cap) {
    char found[128] = "";
    for (int i = 0; i < drop.count && !found[0]; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (isFolderItem(item) || !hasExtension(item.FindData.cFileName, ".hlf")) continue;
        FileHandle file(item.FindData.cFileName, "rt");
        if (file.get()) scanHelpContents(readFilePiece, file.get(), found, sizeof found);
    }
    if (!found[0]) extractDescription(found, dllFolder, nullptr);
    if (!found[0] && updated) copyTextN(found, sizeof found, updated->description, boundedLength(updated->description, sizeof updated->description));
    if (found[0]) snprintf(out, cap, "(%s)", found);
    else copyText(out, cap, message(MNoDescription));
}

// Copies one dropped item of a DLL drop into dest (ending in a backslash).
bool copyDroppedItem(const PluginPanelItem& item, const char* dest) {
    const char* name = item.FindData.cFileName;
    if (isFolderItem(item)) {
        char treeTarget[MAX_PATH];
        copyText(treeTarget, sizeof treeTarget, dest);
        int created = 0;
        return appendWhole(treeTarget, sizeof treeTarget, fileNameOf(name)) && makeFolder(treeTarget, &created) &&
               copyTreeInto(name, treeTarget);
    }
    // A name with a folder in front is copied under its own name.
    char sourceFolder[MAX_PATH];
    copyTextN(sourceFolder, sizeof sourceFolder, name, static_cast<size_t>(fileNameOf(name) - name));
    WIN32_FIND_DATAA entry;
    memset(&entry, 0, sizeof entry);
    memcpy(&entry, &item.FindData, sizeof item.FindData);
    copyText(entry.cFileName, sizeof entry.cFileName, fileNameOf(name));
    int itemOk = 1;
    return copyEntry(nullptr, sourceFolder, const_cast<char*>(dest)) && copyEntry(&entry, sourceFolder, &itemOk);
}

bool copyDroppedItems(Drop& drop, const char* dest) {
    bool ok = true;
    for (int i = 0; i < drop.count && !copyStopped(); ++i)
        if (installableItem(drop.items[i]) && !copyDroppedItem(drop.items[i], dest)) ok = false;
    return ok && !copyStopped();
}

// Where the drop goes: every dropped DLL is matched against the installed
// plugins, the last DLL's own plugin first; else a folder named stem.
void settlePluginTarget(Drop& drop, InstallUnit& unit, char* stem, size_t cap) {
    const char* dllName = drop.lastDll->FindData.cFileName;
    noteMatch(unit, installedPluginOf(drop.panel, fileNameOf(dllName)), dllName);
    for (int i = 0; i < drop.count; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (&item == drop.lastDll || !isDroppedDll(item) || !isFar170Plugin(item.FindData.cFileName)) continue;
        noteMatch(unit, installedPluginOf(drop.panel, fileNameOf(item.FindData.cFileName)), item.FindData.cFileName);
    }
    copyText(stem, cap, fileNameOf(dllName));
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    settleUnitTarget(drop.panel->handle, unit, stem);
    if (!unit.match) copyText(unit.matchedDll, sizeof unit.matchedDll, dllName);
}

// The question: the plugin, its description, DLLs that are no plugins, what
// it replaces, and how much is copied.
bool askPluginDrop(Drop& drop, InstallUnit& unit, const char* stem) {
    const char* dllName = drop.lastDll->FindData.cFileName;
    char dllFolder[MAX_PATH];
    copyTextN(dllFolder, sizeof dllFolder, dllName, static_cast<size_t>(fileNameOf(dllName) - dllName));
    if (!dllFolder[0]) copyText(dllFolder, sizeof dllFolder, ".\\");
    char description[128];
    describe(drop, dllFolder, unit.match, description, sizeof description);

    InstallQuestion& q = *question;
    q.add(PLUGIN_TITLE);
    snprintf(q.next(), 2 * MAX_PATH, "%s%s\"", message(MInstallPlugin), stem);
    q.add(description);
    for (int i = 0; i < drop.count; ++i) {
        if (!isDroppedDll(drop.items[i])) continue;
        if (!isFar170Plugin(drop.items[i].FindData.cFileName)) addUnfitLines(q, drop.items[i].FindData.cFileName);
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
        addTargetLines(q, unit, unit.matchedDll, nullptr);
        // The dropped files of the user's kind that would replace changed ones.
        int kept = 0;
        for (int i = 0; unit.exists && i < drop.count; ++i) {
            const PluginPanelItem& item = drop.items[i];
            char installed[MAX_PATH];
            snprintf(installed, sizeof installed, "%s\\%s%s%s", unit.target, unit.below, unit.below[0] ? "\\" : "",
                     fileNameOf(item.FindData.cFileName));
            if (!isFolderItem(item) && usersCopyStays(installed, item.FindData.cFileName))
                addKeptFileLine(q, installed + strlen(unit.target) + 1, &kept);
        }
    }
    q.add("");
    char size[32];
    bytesText(drop.total, size, sizeof size);
    snprintf(q.next(), 2 * MAX_PATH, "%s %s", size, message(MInstallBytes));
    q.add("");
    return q.ask(!unit.refused, false);
}

// Copies everything dropped into the unit's stage (below its bin\ folder
// for a plugin that keeps its DLL there) and puts the stage in place.
bool copyAndPlace(Drop& drop, InstallUnit& unit) {
    progress.start(message(MCopying), static_cast<int>(drop.total), drop.quiet);
    bool ok = stageFor(unit);
    char dest[MAX_PATH];
    copyText(dest, sizeof dest, unit.stage);
    if (ok) ok = appendWhole(dest, sizeof dest, "\\") && appendWhole(dest, sizeof dest, unit.below);
    if (ok && unit.below[0]) ok = makeFolder(dest, nullptr) != 0;
    if (ok) ok = copyDroppedItems(drop, dest);
    if (ok) ok = placeUnit(drop, unit);
    discardStage(unit);
    return ok;
}

}  // namespace

// Everything dropped together with a DLL goes into one plugin folder: the
// installed plugin's of the same DLL, else a new one named after the last DLL.
int installPlugin(Drop& drop) {
    InstallUnit& unit = drop.units[0];
    unit.kind = UNIT_PLUGIN;
    unit.item = drop.lastDll;
    char stem[MAX_PATH];
    settlePluginTarget(drop, unit, stem, sizeof stem);
    if (refuseIfCannotGo(unit)) {
        closingBox(drop);
        return 0;
    }
    if (!askPluginDrop(drop, unit, stem)) return 0;
    bool ok = copyAndPlace(drop, unit);
    if (ok) {
        for (int i = 0; i < drop.count; ++i)
            if (installableItem(drop.items[i])) markInstalled(drop, drop.items[i]);
    }
    closingBox(drop);
    return ok && drop.installed == drop.count ? 1 : 0;
}

}  // namespace installing
