#include "install/drop.h"

#include "folders/besidePlugins.h"
#include "folders/folderRemoval.h"
#include "folders/pluginSwap.h"
#include "install/fileCopy.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/failureReport.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

namespace installing {

InstallQuestion* question;

bool isFolderItem(const PluginPanelItem& item) {
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool installableItem(const PluginPanelItem& item) {
    const char* name = fileNameOf(item.FindData.cFileName);
    return name[0] && strcmp(name, ".") && strcmp(name, "..");
}

void bytesText(DWORD total, char* out, size_t cap) {
    snprintf(out, cap, "%lu", static_cast<unsigned long>(total));
    insertThousands(out, cap);
}

void markInstalled(Drop& drop, PluginPanelItem& item) {
    item.Flags = 0;
    ++drop.installed;
}

// The closing box: what was installed, what was only copied, what failed and why.
void closingBox(const Drop& drop) {
    progress.stop();
    // Nothing of the install is left beside the plugins folder while the box waits.
    tidyStagingFolders();
    if (copyStopped()) noteFailure(message(MFailStopped));
    const char* lines[24];
    char more[64];
    int n = 0;
    lines[n++] = PLUGIN_TITLE;
    int failures = failureCount();
    if (failures) {
        lines[n++] = message(drop.installed ? MInstallNotAll : MInstallNothing);
        for (int i = 0; i < failureLinesKept(); ++i) lines[n++] = failureLine(i);
        if (failures > failureLinesKept()) {
            snprintf(more, sizeof more, message(MAndMore), failures - failureLinesKept());
            lines[n++] = more;
        }
    } else {
        if (drop.pluginUnits) lines[n++] = message(drop.pluginUnits == 1 ? MInstalledPlugin : MInstalledPlugins);
        if (drop.fileUnits) lines[n++] = message(MFilesCopiedOne);
        if (drop.pluginGone) lines[n++] = message(MPluginReplacedByFiles);
    }
    if (drop.staysOff) lines[n++] = message(MUpdateStaysOff);
    if (drop.updatedInPlace) {
        lines[n++] = message(MUpdatedInPlace1);
        lines[n++] = message(MUpdatedInPlace2);
    }
    if (drop.restartFirst) lines[n++] = message(MRestartBeforeUse);
    if (drop.pluginUnits > drop.updatedInPlace + drop.restartFirst + drop.staysOff)
        lines[n++] = message(drop.pluginUnits == 1 ? MInstallRestartOne : MInstallRestart);
    lines[n++] = "\x01";
    if (startupInfo.Message)
        startupInfo.Message(startupInfo.ModuleNumber, failures ? FMSG_MB_OK | FMSG_WARNING : FMSG_MB_OK, "", lines,
                            n, 0);
}

}  // namespace installing
