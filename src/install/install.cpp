#include "install/install.h"

#include "folders/besidePlugins.h"
#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "install/drop.h"
#include "install/fileCopy.h"
#include "install/installTarget.h"
#include "runtime/folderWalk.h"
#include "runtime/heap.h"
#include "state/pluginState.h"
#include "ui/failureReport.h"
#include "ui/messages.h"

#include <new>
#include <string.h>

using namespace installing;

namespace {

void classify(Drop& drop) {
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        item.UserData = 0;
        if (!installableItem(item)) continue;
        if (isFolderItem(item)) {
            // Counted whole: a DLL drop's question and progress tell all it copies.
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

// The units and the question live on the heap: too big for the host's stack.
bool takeRoom(Drop& drop) {
    drop.units = heapArray<InstallUnit>(static_cast<size_t>(drop.count) + 1);
    question = static_cast<InstallQuestion*>(heapAlloc(sizeof(InstallQuestion)));
    if (drop.units && question) {
        new (question) InstallQuestion();
        return true;
    }
    heapFree(drop.units);
    heapFree(question);
    question = nullptr;
    return false;
}

void addUnit(Drop& drop, UnitKind kind, PluginPanelItem& item) {
    InstallUnit& unit = drop.units[drop.unitCount++];
    unit.kind = kind;
    unit.item = &item;
}

// Folders first, then archives, each kind with its own question.
int installFoldersAndArchives(Drop& drop) {
    for (int i = 0; i < drop.count; ++i)
        if (installableItem(drop.items[i]) && isFolderItem(drop.items[i])) addUnit(drop, UNIT_FOLDER, drop.items[i]);
    int archives = drop.unitCount;
    for (int i = 0; i < drop.count; ++i)
        if (drop.items[i].UserData == 1) addUnit(drop, UNIT_ARCHIVE, drop.items[i]);
    bool agreed = false;
    if (archives > 0) {
        int saved = drop.unitCount;
        drop.unitCount = archives;
        agreed = installFolders(drop, 0);
        drop.unitCount = saved;
    }
    if (drop.unitCount > archives) agreed = installArchives(drop, archives) || agreed;
    if (!agreed) return 0;
    closingBox(drop);
    return drop.installed == drop.count ? 1 : 0;
}

}  // namespace

int installDroppedItems(PanelState* panel, PluginPanelItem* items, int count, int opMode) {
    Drop drop;
    memset(&drop, 0, sizeof drop);
    drop.panel = panel;
    drop.items = items;
    drop.count = items && count > 0 ? count : 0;
    drop.quiet = (opMode & (OPM_SILENT | OPM_FIND)) ? 1 : 0;
    clearFailureReport();
    resetCopyStop();
    classify(drop);

    // Whatever is not installed stays selected: the host then keeps what the
    // items' flags say instead of clearing the whole selection.
    if (!drop.dlls && !drop.folders && !drop.archives) {
        // Why: what can be installed at all.
        const char* items[3] = {PLUGIN_TITLE, msgText(MNothingToInstall), msgText(MNothingToInstallWhy)};
        if (startupInfo.Message)
            startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 3, 0);
        return 0;
    }
    if (!takeRoom(drop)) return 0;
    int result = 0;
    if (drop.dlls) {
        drop.unitCount = 1;
        result = installPlugin(drop);
    } else {
        result = installFoldersAndArchives(drop);
    }
    heapFree(drop.units);
    heapFree(question);
    question = nullptr;
    tidyStagingFolders();
    return result;
}
