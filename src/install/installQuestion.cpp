#include "install/installQuestion.h"

#include "folders/userFiles.h"

#include "dll/pluginFitness.h"
#include "describe/versionExtractor.h"
#include "describe/versionText.h"
#include "ui/failureReport.h"
#include "ui/boxText.h"
#include "ui/fitnessReason.h"
#include "runtime/text.h"
#include "state/pluginFolder.h"
#include "state/pluginState.h"
#include "ui/messages.h"

#include <stdio.h>
#include <string.h>

char* InstallQuestion::next() {
    if (count >= LINES) return scratch;
    return text[count++];
}

void InstallQuestion::add(const char* line) { copyText(next(), WIDTH, line); }

void InstallQuestion::addPath(const char* path) {
    char* line = next();
    copyText(line, WIDTH, "  ");
    size_t width = boxWidth();
    shortenMiddle(line + 2, WIDTH - 2, path, width > 2 ? width - 2 : width, true);
}

bool InstallQuestion::ask(bool canGoOn, bool allInOne) {
    if (!startupInfo.Message) return false;
    int buttons = 0;
    // Every install question has one look: "Vantorel" as its title, the
    // question below it, then the lines left-aligned, so that indented paths
    // and reasons stand out.
    DWORD flags = FMSG_LEFTALIGN;
    if (allInOne) flags |= FMSG_ALLINONE;
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
    int answer;
    // The host drops an empty last line of a one-text message: the line
    // before buttons given as flags keeps a blank.
    if (allInOne && !buttons && count && !text[count - 1][0]) copyText(text[count - 1], WIDTH, " ");
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
        const char* pointers[LINES];
        for (int i = 0; i < count; ++i) pointers[i] = text[i];
        answer = startupInfo.Message(startupInfo.ModuleNumber, flags, "", pointers, count, buttons);
    }
    count = 0;
    warning = false;
    if (!buttons) return answer == 0;
    return canGoOn && answer == 1;
}

namespace {

// F3's reason why the host would not take a DLL as a plugin.
void unfitReason(const char* path, char* out, size_t cap) {
    PluginFitness fitness;
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    checkPluginFile(n && n < sizeof full ? full : path, &fitness);
    fitnessReasonText(fitness, out, cap);
}

}  // namespace

void addUnfitLines(InstallQuestion& q, const char* path) {
    snprintf(q.next(), 2 * MAX_PATH, "%s %s", fileNameOf(path), message(MNotPluginBecause));
    char* line = q.next();
    copyText(line, 2 * MAX_PATH, "  ");
    unfitReason(path, line + 2, 2 * MAX_PATH - 2);
    q.warning = true;
}

namespace {

// A DLL's own version, or false.
bool dllVersion(const char* path, char* out, size_t cap) {
    static CatalogueRecord record;
    memset(&record, 0, sizeof record);
    if (!resourceVersion(&record, path)) return false;
    copyTextN(out, cap, record.version, sizeof record.version);
    return out[0] != 0;
}

}  // namespace

bool isOlderBuild(const char* incoming, const char* installed) {
    return compareVersions(incoming, installed) < 0;
}

// What the user should know about where a unit goes: the plugin it
// replaces (with both versions), a folder that is there, the host holding it.
namespace {

struct KeptLines {
    InstallQuestion* q;
    int count;
};

// The user's files that stay over the new build's copies, a few by name.
void keptLine(const char* below, void* context) {
    KeptLines* kept = static_cast<KeptLines*>(context);
    const int SHOWN = 4;
    if (!kept->count) kept->q->add(message(MUsersFilesStay));
    if (kept->count < SHOWN) snprintf(kept->q->next(), 2 * MAX_PATH, "  %s", below);
    else if (kept->count == SHOWN) kept->q->add("  ...");
    ++kept->count;
}

}  // namespace

void addKeptLines(InstallQuestion& q, const char* installed, const char* arriving) {
    KeptLines kept = {&q, 0};
    if (installed && arriving) filesKeptFromUser(installed, arriving, keptLine, &kept);
}

void addKeptFileLine(InstallQuestion& q, const char* below, int* count) {
    KeptLines kept = {&q, *count};
    keptLine(below, &kept);
    *count = kept.count;
}

void addTargetLines(InstallQuestion& q, const InstallUnit& unit, const char* newDll, const char* arriving) {
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
        bool older = isOlderBuild(newVersion, oldVersion);
        snprintf(q.next(), 2 * MAX_PATH, "%s %s, %s %s%s%s", message(MVersionInstalled), oldVersion,
                 message(MVersionNew), newVersion, older ? " " : "", older ? message(MVersionOlder) : "");
    }
    if (unit.match && isSwitchedOff(unit.match->dllPath)) q.add(message(MUpdateStaysOff));
    addKeptLines(q, unit.target, arriving);
    if (unit.refused) {
        q.add(message(unit.fromPluginPanel ? MFromPluginPanel1 : MLoadedNoUpdate));
        q.add(message(unit.fromPluginPanel ? MFromPluginPanel2 : MMustUnload));
    } else if (unit.loaded) {
        q.add(message(MUpdateLoaded));
    }
}
