#include "commands/install.h"

#include "catalogue/descriptionExtractor.h"
#include "catalogue/descriptionText.h"
#include "catalogue/folderWalk.h"
#include "catalogue/pluginFitness.h"
#include "catalogue/pluginFolder.h"
#include "catalogue/versionExtractor.h"
#include "commands/archiveExtract.h"
#include "commands/installReport.h"
#include "commands/installText.h"
#include "commands/pluginSwap.h"
#include "commands/updateInPlace.h"
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

// One thing put in place as a whole: the plugin folder a DLL drop makes or
// updates, one dropped folder, or one unpacked archive. Each is made in a
// staging folder first and moved into the plugins tree only when complete.
enum UnitKind { UNIT_PLUGIN, UNIT_FOLDER, UNIT_ARCHIVE };

const int UNFIT_KEPT = 3;

struct Unit {
    UnitKind kind;
    PluginPanelItem* item;            // the folder or archive; for a DLL drop, its last DLL
    char target[MAX_PATH];            // where it goes
    char below[MAX_PATH];             // a DLL drop's files go here below target (an updated plugin's bin\)
    char stage[MAX_PATH];             // made outside the plugins tree, "" when none
    const CatalogueRecord* match;     // the installed plugin of one of its DLLs
    char matchedDll[MAX_PATH];        // the new file of that DLL
    bool targetFits;
    bool exists;                      // target is there already
    bool blocked;                     // a file, not a folder, is there
    bool loaded;                      // the host has a DLL under target loaded
    bool refused;                     // loaded, and no update in place for it
    bool pathTooLong;                 // a path in its content cannot be read
    bool failed;
    int dlls, plugins;                // DLLs in it, and those the host would keep as plugins
    int unfitCount;
    char unfit[UNFIT_KEPT][MAX_PATH]; // DLLs that are no plugins, when none is one
    DWORD size;
};

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
    Unit* units;
    int unitCount;
};

const char* message(int id) {
    const char* text = msgText(id);
    return text ? text : "";
}

bool isFolder(const PluginPanelItem& item) {
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

const char* baseName(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool hasExtension(const char* name, const char* extension) {
    const char* dot = strrchr(name, '.');
    return dot && equalNoCase(dot, extension);
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

// The installed plugin whose DLL has this file name, wherever it lies.
const CatalogueRecord* installedPluginOf(const PanelState* panel, const char* dllName) {
    if (!panel || !panel->catalogue) return nullptr;
    for (int i = 0; i < panel->catalogueCount; ++i) {
        const CatalogueRecord& record = panel->catalogue[i];
        if (record.missing) continue;
        char path[MAX_PATH];
        copyTextN(path, sizeof path, record.dllPath, boundedLength(record.dllPath, MAX_PATH));
        if (equalNoCase(fileNameOf(path), dllName)) return &record;
    }
    return nullptr;
}

// An installed plugin's folder stands for it; the plugins folder itself (a
// DLL lying loose in it) is never replaced.
bool matchedFolder(const CatalogueRecord& record, char* folder, char* below) {
    char dllPath[MAX_PATH];
    copyTextN(dllPath, sizeof dllPath, record.dllPath, boundedLength(record.dllPath, MAX_PATH));
    pluginFolderOf(dllPath, folder, false);
    char root[MAX_PATH];
    copyText(root, sizeof root, pluginsRoot);
    setEndSlash(root, 0, sizeof root);
    if (equalNoCase(folder, root)) return false;
    if (personalPluginsFolder) {
        copyText(root, sizeof root, personalPluginsFolder);
        setEndSlash(root, 0, sizeof root);
        if (equalNoCase(folder, root)) return false;
    }
    // The DLL's own folder below the plugin folder (a bin folder), with its backslash.
    const char* rest = dllPath + strlen(folder);
    if (*rest == '\\') ++rest;
    copyTextN(below, MAX_PATH, rest, static_cast<size_t>(fileNameOf(dllPath) - rest));
    return true;
}

void noteUnfit(Unit& unit, const char* path) {
    if (unit.unfitCount < UNFIT_KEPT) copyText(unit.unfit[unit.unfitCount], MAX_PATH, path);
    ++unit.unfitCount;
}

// Whether the host has any DLL under folder loaded.
int findLoaded(const WIN32_FIND_DATAA* entry, const char* folder, void* found) {
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !hasExtension(entry->cFileName, ".dll")) return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (appendWhole(path, sizeof path, entry->cFileName) && GetModuleHandleA(path)) *static_cast<bool*>(found) = true;
    return 0;
}

struct ContentScan {
    Drop* drop;
    Unit* unit;
};

// The DLLs in a folder tree: which the host would keep as plugins, which
// installed plugin they update, and whether any path is too long to read.
int scanEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    ContentScan* scan = static_cast<ContentScan*>(context);
    Unit& unit = *scan->unit;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    bool fits = appendWhole(path, sizeof path, entry->cFileName) && strlen(path) < MAX_PATH - 2;
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!fits) unit.pathTooLong = true;
        return 0;
    }
    unit.size += entry->nFileSizeLow;
    if (!hasExtension(entry->cFileName, ".dll")) return 0;
    if (!fits) {
        unit.pathTooLong = true;
        return 0;
    }
    ++unit.dlls;
    // Only a plugin DLL stands for a plugin: helper DLLs of the same name
    // may lie in several plugins' folders.
    bool plugin = isFar170Plugin(path);
    if (plugin) ++unit.plugins;
    else noteUnfit(unit, path);
    if (!unit.match && plugin) {
        unit.match = installedPluginOf(scan->drop->panel, entry->cFileName);
        if (unit.match) copyText(unit.matchedDll, sizeof unit.matchedDll, path);
    }
    return 0;
}

void scanContent(Drop& drop, Unit& unit, const char* folder) {
    ContentScan scan = {&drop, &unit};
    walkFolder(folder, scanEntry, &scan, 1);
}

// Where a unit goes: the installed plugin's folder it updates, else a folder
// of its own name under the plugins root; whether that is there, and loaded.
void settleTarget(Unit& unit, const char* name) {
    char below[MAX_PATH] = "";
    if (unit.match && matchedFolder(*unit.match, unit.target, below)) {
        unit.targetFits = true;
        copyText(unit.below, sizeof unit.below, below);
    } else {
        unit.match = nullptr;
        copyText(unit.target, sizeof unit.target, pluginsRoot);
        unit.targetFits = appendWhole(unit.target, sizeof unit.target, name) && strlen(unit.target) < MAX_PATH - 1;
        if (!unit.targetFits) {
            copyText(unit.target, sizeof unit.target, pluginsRoot);
            appendText(unit.target, sizeof unit.target, name);
        }
    }
    if (!unit.targetFits) return;
    DWORD attributes = GetFileAttributesA(unit.target);
    unit.exists = attributes != INVALID_FILE_ATTRIBUTES;
    unit.blocked = unit.exists && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (unit.exists && !unit.blocked) walkFolder(unit.target, findLoaded, &unit.loaded, 1);
    if (unit.match && !unit.loaded) unit.loaded = GetModuleHandleA(unit.match->dllPath) != nullptr;
    unit.refused = unit.loaded && !(unit.match && updateInPlaceAvailable(*unit.match));
}

// A question's lines, kept until it is asked.
class Question {
public:
    static const int LINES = 48;
    Question() : warning(false), count(0) {}
    char* next() {
        if (count >= LINES) return scratch;
        return text[count++];
    }
    void add(const char* line) { copyText(next(), WIDTH, line); }
    // A path on a line of its own, indented, shortened in its middle to fit.
    void addPath(const char* path) {
        char* line = next();
        copyText(line, WIDTH, "  ");
        size_t width = installBoxWidth();
        shortenMiddle(line + 2, WIDTH - 2, path, width > 2 ? width - 2 : width, true);
    }
    // Buttons: Yes and No without a warning; with one the safe answer
    // (Cancel) comes first and is the default; only Cancel when nothing can
    // go on. True when the user chose to go on.
    bool ask(bool canGoOn, bool allInOne) {
        if (!startupInfo.Message) return false;
        int buttons = 0;
        DWORD flags = allInOne ? FMSG_ALLINONE | FMSG_LEFTALIGN : 0;
        if (!canGoOn || warning) {
            flags |= FMSG_WARNING;
            add(message(MBtnCancel));
            buttons = 1;
            if (canGoOn) {
                add(message(MBtnInstall));
                buttons = 2;
            }
        } else {
            flags |= FMSG_MB_YESNO;
        }
        const char* pointers[LINES];
        for (int i = 0; i < count; ++i) pointers[i] = text[i];
        int answer;
        if (allInOne) {
            // One text, lines and buttons parted by line breaks.
            static char joined[LINES * 80];
            joined[0] = 0;
            for (int i = 0; i < count; ++i) {
                if (i) appendText(joined, sizeof joined, "\n");
                appendText(joined, sizeof joined, text[i]);
            }
            answer = startupInfo.Message(startupInfo.ModuleNumber, flags, "",
                                         reinterpret_cast<const char* const*>(joined), 0, buttons);
        } else {
            answer = startupInfo.Message(startupInfo.ModuleNumber, flags, "", pointers, count, buttons);
        }
        count = 0;
        warning = false;
        if (!buttons) return answer == 0;
        return canGoOn && answer == 1;
    }
    bool warning;

private:
    static const size_t WIDTH = 2 * MAX_PATH;
    char text[LINES][WIDTH];
    char scratch[WIDTH];
    int count;
};

Question* question;   // one at a time; too big for the host's stack

// F3's reason why the host would not take a DLL as a plugin.
void unfitReason(const char* path, char* out, size_t cap) {
    PluginFitness fitness;
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    checkPluginFile(n && n < sizeof full ? full : path, &fitness);
    switch (fitness.reason) {
    case UNFIT_NOT_WINDOWS_DLL: copyText(out, cap, message(fitness.readable ? MUnfitNotDll : MUnfitUnreadable)); break;
    case UNFIT_64_BIT: copyText(out, cap, message(MUnfit64Bit)); break;
    case UNFIT_UNICODE_BUILD: copyText(out, cap, message(MUnfitUnicode)); break;
    case UNFIT_DECORATED: copyText(out, cap, message(MUnfitDecorated)); break;
    case UNFIT_NO_ENTRY_POINTS: copyText(out, cap, message(MUnfitNoEntryPoints)); break;
    case UNFIT_MISSING_DLL: snprintf(out, cap, "%s %s", message(MUnfitMissingDll), fitness.dll); break;
    case UNFIT_MISSING_IMPORT:
        snprintf(out, cap, "%s %s (%s)", message(MUnfitMissingImport), fitness.function, fitness.dll);
        break;
    default: copyText(out, cap, ""); break;
    }
}

void addUnfitLines(Question& q, const char* path) {
    snprintf(q.next(), 2 * MAX_PATH, "%s %s", baseName(path), message(MNotPluginBecause));
    char* line = q.next();
    copyText(line, 2 * MAX_PATH, "  ");
    unfitReason(path, line + 2, 2 * MAX_PATH - 2);
    q.warning = true;
}

// A DLL's own version, or false.
bool dllVersion(const char* path, char* out, size_t cap) {
    static CatalogueRecord record;
    memset(&record, 0, sizeof record);
    if (!resourceVersion(&record, path)) return false;
    copyTextN(out, cap, record.version, sizeof record.version);
    return out[0] != 0;
}

// What the user should know about where a unit goes: the plugin it
// replaces (with both versions), a folder that is there, the host holding it.
void addTargetLines(Question& q, const Unit& unit, const char* newDll) {
    if (unit.pathTooLong) {
        q.add(message(MFailDllPathTooLong));
        q.warning = true;
    }
    if (!unit.exists) return;
    q.warning = true;
    q.add(message(unit.match ? MUpdatesPlugin : MFolderReplaced));
    q.addPath(unit.target);
    char oldVersion[24], newVersion[24];
    char oldDll[MAX_PATH];
    if (unit.match) copyTextN(oldDll, sizeof oldDll, unit.match->dllPath, boundedLength(unit.match->dllPath, MAX_PATH));
    if (unit.match && newDll && dllVersion(oldDll, oldVersion, sizeof oldVersion) &&
        dllVersion(newDll, newVersion, sizeof newVersion)) {
        bool older = compareVersionTexts(newVersion, oldVersion) < 0;
        snprintf(q.next(), 2 * MAX_PATH, "%s %s, %s %s%s%s", message(MVersionInstalled), oldVersion,
                 message(MVersionNew), newVersion, older ? " " : "", older ? message(MVersionOlder) : "");
    }
    if (unit.refused) {
        q.add(message(MLoadedNoUpdate));
        q.add(message(MMustUnload));
    }
}

void totalText(DWORD total, char* out, size_t cap) {
    snprintf(out, cap, "%lu", static_cast<unsigned long>(total));
    insertThousands(out, cap);
}

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
bool stageFor(Unit& unit) {
    if (makeStagingFolder(unit.target, unit.stage, sizeof unit.stage)) return true;
    unit.stage[0] = 0;
    noteWhy(MFailStage, unit.target, GetLastError());
    return false;
}

void discardStage(Unit& unit) {
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
bool placeUnit(Drop& drop, Unit& unit) {
    PlaceResult placed = placeStagedFolder(unit.stage, unit.target);
    if (placed.outcome == PLACE_DONE) {
        unit.stage[0] = 0;
        if (unit.plugins) ++drop.pluginUnits;
        else ++drop.fileUnits;
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
    if (drop.pluginUnits) lines[n++] = message(drop.pluginUnits == 1 ? MInstallRestartOne : MInstallRestart);
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

bool cannotGo(Unit& unit);

// Everything dropped together with a DLL goes into one plugin folder: the
// installed plugin's of the same DLL, else a new one named after the last DLL.
int installPlugin(Drop& drop) {
    Unit& unit = drop.units[0];
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
    settleTarget(unit, stem);
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

    Question& q = *question;
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
void addUnitLines(Question& q, Unit& unit, bool always) {
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
bool cannotGo(Unit& unit) {
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
void installUnit(Drop& drop, Unit& unit) {
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
        Unit& unit = drop.units[i];
        scanContent(drop, unit, unit.item->FindData.cFileName);
        settleTarget(unit, baseName(unit.item->FindData.cFileName));
        size += unit.size;
        plugins += unit.plugins;
    }
    int asked = 0;
    for (int i = first; i < drop.unitCount; ++i)
        if (!cannotGo(drop.units[i])) ++asked;
    if (!asked) return true;   // nothing to ask about; the failures are told
    Question& q = *question;
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
        Unit& unit = drop.units[i];
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
        scanContent(drop, unit, unit.stage);
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
        settleTarget(unit, stem);
        if (cannotGo(unit)) {
            discardStage(unit);
            continue;
        }
        ++staged;
    }
    if (!staged) return true;   // nothing to ask about; the failures are told

    Question& q = *question;
    q.add(PLUGIN_TITLE);
    q.add(message(MAskInstallArchives));
    bool any = false;
    for (int i = first; i < drop.unitCount; ++i) {
        Unit& unit = drop.units[i];
        if (unit.failed) continue;
        addUnitLines(q, unit, true);
        if (!unit.refused) any = true;
    }
    q.add("");
    bool agreed = q.ask(any, false);
    for (int i = first; i < drop.unitCount; ++i) {
        Unit& unit = drop.units[i];
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
    drop.units = heapArray<Unit>(static_cast<size_t>(drop.count) + 1);
    question = static_cast<Question*>(heapAlloc(sizeof(Question)));
    if (!drop.units || !question) {
        heapFree(drop.units);
        heapFree(question);
        question = nullptr;
        return 0;
    }
    new (question) Question();
    int result = 0;
    if (drop.dlls) {
        drop.unitCount = 1;
        result = installPlugin(drop);
    } else {
        for (int i = 0; i < drop.count; ++i) {
            PluginPanelItem& item = drop.items[i];
            if (!installable(item) || !isFolder(item)) continue;
            Unit& unit = drop.units[drop.unitCount++];
            unit.kind = UNIT_FOLDER;
            unit.item = &item;
        }
        int archives = drop.unitCount;
        for (int i = 0; i < drop.count; ++i) {
            PluginPanelItem& item = drop.items[i];
            if (item.UserData != 1) continue;
            Unit& unit = drop.units[drop.unitCount++];
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
