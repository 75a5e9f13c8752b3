#include "commands/install.h"

#include "catalogue/descriptionExtractor.h"
#include "catalogue/folderWalk.h"
#include "commands/archiveExtract.h"
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
    int result;
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
        const char* dot = strrchr(item.FindData.cFileName, '.');
        if (!dot) continue;
        if (equalNoCase(dot, ".dll")) {
            ++drop.dlls;
            drop.lastDll = &item;
        } else if (equalNoCase(dot, ".rar") || equalNoCase(dot, ".arj") || equalNoCase(dot, ".zip")) {
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
    drop.result &= ok;
    if (ok) item.Flags = 0;
}

// Copies a dropped folder's tree to target (created first); 1 when every step succeeded.
int copyTree(PluginPanelItem& item, const char* target) {
    int ok = copyEntry(nullptr, item.FindData.cFileName, const_cast<char*>(target));
    walkFolder(item.FindData.cFileName, copyEntry, &ok, 1);
    return ok;
}

// target + name, refused (reported like a folder that cannot be made) when it would not fit.
bool joinPath(char* out, size_t cap, const char* folder, const char* name) {
    copyText(out, cap, folder);
    if (appendWhole(out, cap, name)) return true;
    showMsg(MCreateFolderFailed);
    char shown[2 * MAX_PATH];
    copyText(shown, sizeof shown, folder);
    appendText(shown, sizeof shown, name);
    showText(shown);
    return false;
}

void closingBox(bool hadDll) {
    progress.stop();
    const char* lines[4] = {PLUGIN_TITLE, msgText(hadDll ? MInstalledPlugins : MInstalledFiles),
                            msgText(MInstallRestart), "\x01"};
    ask(FMSG_MB_OK, lines, 4);
}

// Everything dropped together with a DLL goes into one new folder named after the last DLL.
int installPlugin(Drop& drop) {
    const char* dllName = drop.lastDll->FindData.cFileName;
    const char* dllBase = baseName(dllName);

    char dllFolder[MAX_PATH];
    copyTextN(dllFolder, sizeof dllFolder, dllName, static_cast<size_t>(dllBase - dllName));
    if (!dllFolder[0]) copyText(dllFolder, sizeof dllFolder, ".\\");
    char description[128] = "";
    char found[128] = "";
    bool hasDescription = extractDescription(found, dllFolder, nullptr);
    snprintf(description, sizeof description, "(%s)", hasDescription ? found : msgText(MNoDescription));

    char stem[MAX_PATH];
    copyText(stem, sizeof stem, dllBase);
    if (char* dot = strrchr(stem, '.')) *dot = 0;
    char nameLine[64];
    snprintf(nameLine, sizeof nameLine, "%s%s\"", msgText(MInstallPlugin), stem);
    char size[32];
    totalText(drop.total, size, sizeof size);
    char sizeLine[72];
    snprintf(sizeLine, sizeof sizeLine, "%s %s", size, msgText(MInstallBytes));

    const char* question[6] = {PLUGIN_TITLE, nameLine, description, "", sizeLine, ""};
    if (ask(FMSG_MB_YESNO, question, 6) != 0) return 1;

    char target[MAX_PATH];
    if (!joinPath(target, sizeof target, pluginsRoot, stem) || !createFolder(target) ||
        !appendWhole(target, sizeof target, "\\")) {
        closingBox(true);
        return 1;
    }
    progress.start(msgText(MCopying), static_cast<int>(drop.total), drop.quiet);
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
            copyEntry(&entry, sourceFolder, &ok);
        }
        settle(drop, item, ok);
    }
    closingBox(true);
    return drop.result;
}

// 1 when the user agreed and the folders were copied (whatever their outcome).
bool installFolders(Drop& drop) {
    char size[32];
    totalText(drop.total, size, sizeof size);
    char question[200];
    snprintf(question, sizeof question, "%s\n\n  %s: %u\n%s: %s\n\n", msgText(MAskInstallFolders),
             msgText(MInstallCount), static_cast<unsigned>(drop.folders), msgText(MInstallSize), size);
    if (!startupInfo.Message) return false;
    if (startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO | FMSG_ALLINONE | FMSG_LEFTALIGN, "",
                            reinterpret_cast<const char* const*>(question), 0, 0) != 0)
        return false;
    progress.start(msgText(MCopying), static_cast<int>(drop.total), drop.quiet);
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

void installArchives(Drop& drop, const PanelState* panel) {
    char countLine[128];
    snprintf(countLine, sizeof countLine, "(%s: %u)", msgText(MInstallCount), static_cast<unsigned>(drop.archives));
    const char* question[3] = {PLUGIN_TITLE, msgText(MAskInstallArchives), countLine};
    if (ask(FMSG_MB_YESNO, question, 3) != 0) return;
    for (int i = 0; i < drop.count; ++i)
        if (drop.items[i].UserData == 1) extractArchive(panel, drop.items[i].FindData.cFileName);
}

}  // namespace

int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode) {
    Drop drop;
    memset(&drop, 0, sizeof drop);
    drop.items = items;
    drop.count = items && count > 0 ? count : 0;
    drop.quiet = (opMode & (OPM_SILENT | OPM_FIND)) ? 1 : 0;
    drop.result = 1;
    classify(drop);

    if (drop.dlls) return installPlugin(drop);
    if (!drop.folders && !drop.archives) {
        showMsg(MNothingToInstall);
        return 1;
    }
    if (drop.folders && !installFolders(drop)) return 1;
    if (drop.archives) installArchives(drop, panel);
    closingBox(false);
    return drop.result;
}
