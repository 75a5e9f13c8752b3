#include "commands/install.h"

#include "catalogue/descriptionExtractor.h"
#include "catalogue/descriptionText.h"
#include "catalogue/folderWalk.h"
#include "catalogue/versionExtractor.h"
#include "commands/archiveExtract.h"
#include "catalogue/pluginFitness.h"
#include "commands/installReport.h"
#include "runtime/handles.h"
#include "runtime/pieces.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

namespace {

struct Drop {
    PluginPanelItem* items;
    int count;
    int dlls, folders, archives;
    PluginPanelItem* lastDll;
    DWORD total;   // low size words only; wraps like the host's own 32-bit sums
    int quiet;
    int installed;   // items that went over whole
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

void classify(Drop& drop) {
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        item.UserData = 0;
        if (!installable(item)) continue;
        if (isFolder(item)) {
            walkFolder(item.FindData.cFileName, sumFileSizes, &drop.total, 1);
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

int ask(DWORD flags, const char* const* lines, int count) {
    if (!startupInfo.Message) return -1;
    return startupInfo.Message(startupInfo.ModuleNumber, flags, "", lines, count, 0);
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

// Copies a dropped folder's tree to target (created first); 1 when every step
// succeeded. A target this copy made and left empty is removed again.
int copyTree(PluginPanelItem& item, const char* target) {
    int created = 0;
    if (!makeFolder(target, &created)) return 0;
    int ok = copyEntry(nullptr, item.FindData.cFileName, const_cast<char*>(target));
    walkFolder(item.FindData.cFileName, copyEntry, &ok, 1);
    if (copyStopped()) ok = 0;
    if (!ok && created) RemoveDirectoryA(target);
    return ok;
}

// target + name, refused (reported like a folder that cannot be made) when it would not fit.
bool joinPath(char* out, size_t cap, const char* folder, const char* name) {
    copyText(out, cap, folder);
    if (appendWhole(out, cap, name)) return true;
    char shown[2 * MAX_PATH];
    copyText(shown, sizeof shown, folder);
    appendText(shown, sizeof shown, name);
    noteInstallFailure(message(MFailFolder), shown);
    return false;
}

bool folderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The closing box: everything installed, or what failed and why, or that
// nothing was installed.
void closingBox(const Drop& drop, bool hadDll) {
    progress.stop();
    if (copyStopped()) noteInstallFailure(message(MFailStopped));
    const char* lines[24];
    int n = 0;
    lines[n++] = PLUGIN_TITLE;
    int failures = installFailureCount();
    if (!failures) {
        lines[n++] = message(hadDll ? MInstalledPlugins : MInstalledFiles);
    } else {
        // A stopped copy keeps what it copied: part of an item may be there.
        bool something = drop.installed || (copyStopped() && copiedAnyFile());
        lines[n++] = message(something ? MInstallNotAll : MInstallNothing);
        for (int i = 0; i < installFailureLinesKept(); ++i) lines[n++] = installFailureLine(i);
        if (failures > installFailureLinesKept()) lines[n++] = "...";
    }
    if (drop.installed) lines[n++] = message(MInstallRestart);
    lines[n++] = "\x01";
    ask(failures ? FMSG_MB_OK | FMSG_WARNING : FMSG_MB_OK, lines, n);
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

// A DLL's own version, or false.
bool dllVersion(const char* path, char* out, size_t cap) {
    static CatalogueRecord record;
    memset(&record, 0, sizeof record);
    if (!resourceVersion(&record, path)) return false;
    copyTextN(out, cap, record.version, sizeof record.version);
    return out[0] != 0;
}

// Everything dropped together with a DLL goes into one new folder named after the last DLL.
int installPlugin(Drop& drop) {
    const char* dllName = drop.lastDll->FindData.cFileName;
    const char* dllBase = baseName(dllName);

    char dllFolder[MAX_PATH];
    copyTextN(dllFolder, sizeof dllFolder, dllName, static_cast<size_t>(dllBase - dllName));
    if (!dllFolder[0]) copyText(dllFolder, sizeof dllFolder, ".\\");
    char description[128];
    describe(drop, dllFolder, description, sizeof description);

    char stem[MAX_PATH];
    copyText(stem, sizeof stem, dllBase);
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    char nameLine[64];
    snprintf(nameLine, sizeof nameLine, "%s%s\"", message(MInstallPlugin), stem);
    char size[32];
    totalText(drop.total, size, sizeof size);
    char sizeLine[72];
    snprintf(sizeLine, sizeof sizeLine, "%s %s", size, message(MInstallBytes));

    char target[MAX_PATH];
    bool targetFits = joinPath(target, sizeof target, pluginsRoot, stem);

    const char* question[12];
    int n = 0;
    question[n++] = PLUGIN_TITLE;
    question[n++] = nameLine;
    question[n++] = description;
    if (!isFar170Plugin(dllName)) question[n++] = message(MNotPlugin);
    char versions[128];
    if (targetFits && folderExists(target)) {
        question[n++] = message(MTargetExists);
        question[n++] = target;
        char oldDll[MAX_PATH];
        copyText(oldDll, sizeof oldDll, target);
        bool oldFits = appendWhole(oldDll, sizeof oldDll, "\\") && appendWhole(oldDll, sizeof oldDll, dllBase);
        char oldVersion[24], newVersion[24];
        if (oldFits && dllVersion(oldDll, oldVersion, sizeof oldVersion) &&
            dllVersion(dllName, newVersion, sizeof newVersion)) {
            snprintf(versions, sizeof versions, "%s %s, %s %s", message(MVersionInstalled), oldVersion,
                     message(MVersionNew), newVersion);
            question[n++] = versions;
        }
        if (oldFits && GetModuleHandleA(oldDll)) question[n++] = message(MMustUnload);
    }
    question[n++] = "";
    question[n++] = sizeLine;
    question[n++] = "";
    if (ask(FMSG_MB_YESNO, question, n) != 0) return 0;

    int created = 0;
    if (!targetFits || !makeFolder(target, &created) || !appendWhole(target, sizeof target, "\\")) {
        closingBox(drop, true);
        return 0;
    }
    progress.start(message(MCopying), static_cast<int>(drop.total), drop.quiet);
    copyEntry(nullptr, "", target);
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        if (!installable(item)) continue;
        int ok = 1;
        const char* name = item.FindData.cFileName;
        if (isFolder(item)) {
            char treeTarget[MAX_PATH];
            ok = joinPath(treeTarget, sizeof treeTarget, target, baseName(name)) ? copyTree(item, treeTarget) : 0;
            copyEntry(nullptr, "", target);
        } else {
            // A name with a folder in front is copied under its own name.
            char sourceFolder[MAX_PATH];
            copyTextN(sourceFolder, sizeof sourceFolder, name, static_cast<size_t>(baseName(name) - name));
            WIN32_FIND_DATAA entry;
            memset(&entry, 0, sizeof entry);
            memcpy(&entry, &item.FindData, sizeof item.FindData);
            copyText(entry.cFileName, sizeof entry.cFileName, baseName(name));
            copyEntry(nullptr, sourceFolder, target);
            if (!copyEntry(&entry, sourceFolder, &ok)) ok = 0;
        }
        settle(drop, item, ok);
    }
    if (!drop.installed && created) RemoveDirectoryA(target);
    closingBox(drop, true);
    return drop.installed == drop.count ? 1 : 0;
}

int countPluginDll(const WIN32_FIND_DATAA* entry, const char* folder, void* count) {
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !hasExtension(entry->cFileName, ".dll")) return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (appendWhole(path, sizeof path, entry->cFileName) && isFar170Plugin(path)) ++*static_cast<int*>(count);
    return 0;
}

// True when the user agreed and the folders were copied (whatever their outcome).
bool installFolders(Drop& drop) {
    char size[32];
    totalText(drop.total, size, sizeof size);
    char question[600];
    snprintf(question, sizeof question, "%s\n\n  %s: %u\n%s: %s\n", message(MAskInstallFolders),
             message(MInstallCount), static_cast<unsigned>(drop.folders), message(MInstallSize), size);
    int plugins = 0;
    const char* existing = nullptr;
    for (int i = 0; i < drop.count; ++i) {
        const PluginPanelItem& item = drop.items[i];
        if (!isFolder(item) || !installable(item)) continue;
        walkFolder(item.FindData.cFileName, countPluginDll, &plugins, 1);
        char target[MAX_PATH];
        copyText(target, sizeof target, pluginsRoot);
        if (!existing && appendWhole(target, sizeof target, baseName(item.FindData.cFileName)) &&
            folderExists(target))
            existing = baseName(item.FindData.cFileName);
    }
    if (!plugins) {
        appendText(question, sizeof question, message(MNoPluginDll));
        appendText(question, sizeof question, "\n");
    }
    if (existing) {
        appendText(question, sizeof question, message(MTargetExists));
        appendText(question, sizeof question, " ");
        appendText(question, sizeof question, existing);
        appendText(question, sizeof question, "\n");
    }
    appendText(question, sizeof question, "\n");
    if (!startupInfo.Message) return false;
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO | FMSG_ALLINONE | FMSG_LEFTALIGN, "",
                            reinterpret_cast<const char* const*>(question), 0, 0) != 0)
        return false;
    progress.start(message(MCopying), static_cast<int>(drop.total), drop.quiet);
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        if (!isFolder(item) || !installable(item)) continue;
        char target[MAX_PATH];
        int ok = joinPath(target, sizeof target, pluginsRoot, baseName(item.FindData.cFileName))
                     ? copyTree(item, target)
                     : 0;
        settle(drop, item, ok);
    }
    return true;
}

// True when the user agreed to unpack.
bool installArchives(Drop& drop, const PanelState* panel) {
    // The progress box of the folders would stay drawn around the question.
    progress.stop();
    char countLine[128];
    snprintf(countLine, sizeof countLine, "(%s: %u)", message(MInstallCount), static_cast<unsigned>(drop.archives));
    const char* question[3] = {PLUGIN_TITLE, message(MAskInstallArchives), countLine};
    if (ask(FMSG_MB_YESNO, question, 3) != 0) return false;
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        if (item.UserData == 1) settle(drop, item, extractArchive(panel, item.FindData.cFileName) ? 1 : 0);
    }
    return true;
}

}  // namespace

int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode) {
    Drop drop;
    memset(&drop, 0, sizeof drop);
    drop.items = items;
    drop.count = items && count > 0 ? count : 0;
    drop.quiet = (opMode & (OPM_SILENT | OPM_FIND)) ? 1 : 0;
    clearInstallReport();
    resetCopyStop();
    classify(drop);

    // Whatever is not installed stays selected: the host then keeps what the
    // items' flags say instead of clearing the whole selection.
    if (drop.dlls) return installPlugin(drop);
    if (!drop.folders && !drop.archives) {
        showMsg(MNothingToInstall);
        return 0;
    }
    bool agreed = drop.folders && installFolders(drop);
    if (drop.archives) agreed = installArchives(drop, panel) || agreed;
    if (!agreed) return 0;
    closingBox(drop, false);
    return drop.installed == drop.count ? 1 : 0;
}
