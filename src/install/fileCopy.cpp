// Copying dropped files and folder trees below a target folder.
#include "install/fileCopy.h"

#include "ui/failureReport.h"
#include "runtime/text.h"
#include "state/pluginState.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <string.h>

namespace {

// The copy target, kept from one set-up to the next.
char targetBase[MAX_PATH];   // always ends with a backslash
size_t targetEnd;
size_t prefixLength;

bool stopRequested;
bool keepExisting;

void reportFolderFailure(const char* path) {
    char reason[160];
    describeWindowsError(GetLastError(), reason, sizeof reason);
    notePathFailure(message(MFailFolder), path, reason);
}

// Esc typed since the last look; other keys typed meanwhile are dropped, as
// the host drops them during its own long operations.
bool escapeTyped() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD waiting = 0;
    if (!input || input == INVALID_HANDLE_VALUE || !GetNumberOfConsoleInputEvents(input, &waiting) || !waiting)
        return false;
    bool escape = false;
    INPUT_RECORD records[16];
    DWORD got = 0;
    while (waiting && ReadConsoleInputA(input, records, waiting < 16 ? waiting : 16, &got) && got) {
        for (DWORD i = 0; i < got; ++i)
            if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown &&
                records[i].Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE)
                escape = true;
        waiting = waiting > got ? waiting - got : 0;
    }
    return escape;
}

EscapeSource escapeSource = escapeTyped;

// Esc asks whether to stop; what was copied stays.
void checkForStop() {
    if (stopRequested || !escapeSource() || !startupInfo.Message) return;
    const char* lines[2] = {PLUGIN_TITLE, message(MAskStop)};
    stopRequested = startupInfo.Message(startupInfo.ModuleNumber, FMSG_MB_YESNO | FMSG_WARNING, "", lines, 2, 0) == 0;
}

// Whether the new build holds target already (a folder may join a folder),
// or a file where one of target's folders would be.
bool takenByNewFile(const char* target, bool folder) {
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (!folder || !(attributes & FILE_ATTRIBUTE_DIRECTORY))) return true;
    char path[MAX_PATH];
    copyText(path, sizeof path, target);
    for (size_t at = strlen(path); at > targetEnd; --at) {
        if (path[at - 1] != '\\') continue;
        path[at - 1] = 0;
        attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    }
    return false;
}

}  // namespace

void resetCopyStop() {
    stopRequested = false;
}
void keepExistingFiles(bool keep) { keepExisting = keep; }
void setEscapeSource(EscapeSource source) { escapeSource = source ? source : escapeTyped; }
bool copyStopped() { return stopRequested; }

int makeFolder(const char* path, int* created) {
    if (created) *created = 0;
    if (CreateDirectoryA(path, nullptr)) {
        if (created) *created = 1;
        return 1;
    }
    // An existing folder is reused; a file of that name is no folder to copy into.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 1;
    }
    reportFolderFailure(path);
    return 0;
}

int createFolder(const char* path) { return makeFolder(path, nullptr); }

int copyEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (!entry) {
        prefixLength = strlen(folder);
        const char* target = static_cast<const char*>(context);
        copyText(targetBase, sizeof targetBase, target);
        if (strlen(target) >= sizeof targetBase - 1) {
            // Cut, it would name another folder: refuse it.
            targetBase[0] = 0;
            targetEnd = 0;
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            reportFolderFailure(target);
            return 0;
        }
        setEndSlash(targetBase, 1, sizeof targetBase);
        targetEnd = strlen(targetBase);
        return createFolder(targetBase);
    }

    int ok = 0;
    char source[MAX_PATH];
    char target[MAX_PATH];
    copyText(source, sizeof source, folder);
    bool sourceFits = appendWhole(source, sizeof source, entry->cFileName);
    const char* below = sourceFits && strlen(source) >= prefixLength ? source + prefixLength : "";
    if (*below == '\\') ++below;   // the target base ends with its own backslash
    copyText(target, sizeof target, targetBase);
    bool targetFits = targetEnd && sourceFits && appendWhole(target, sizeof target, below);

    // An old file the new build has, or one below a name the new build
    // holds as a file, stays behind.
    if (targetFits && keepExisting && takenByNewFile(target, entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return 1;
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (targetFits) {
            ok = createFolder(target);
        } else {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            reportFolderFailure(sourceFits ? below : entry->cFileName);
        }
    } else if (targetFits) {
        checkForStop();
        if (stopRequested) return 0;   // neither copied nor a failure: the user stopped
        ok = CopyFileA(source, target, FALSE) ? 1 : 0;
        if (!ok) {
            char reason[160];
            describeWindowsError(GetLastError(), reason, sizeof reason);
            notePathFailure(message(MFailCopy), source, reason);
            // The old DLL of a plugin the host has loaded cannot be replaced.
            if (GetModuleHandleA(target)) noteFailure(message(MFailHeld));
        }
    } else if (!stopRequested) {
        notePathFailure(message(MFailCopy), sourceFits ? source : entry->cFileName, message(MErrNameTooLong));
    }
    progress.update(sourceFits ? source : entry->cFileName, static_cast<int>(entry->nFileSizeLow), 0);
    // A tree counts as installed only when every step of it succeeded.
    if (context && !ok) *static_cast<int*>(context) = 0;
    return ok;
}
