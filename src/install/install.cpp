#include "install/install.h"

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

using namespace installing;

namespace {

void classify(Drop& drop) {
    for (int i = 0; i < drop.count; ++i) {
        PluginPanelItem& item = drop.items[i];
        item.UserData = 0;
        if (!installable(item)) continue;
        if (isFolder(item)) {
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

