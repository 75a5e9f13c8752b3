// Copying dropped files and folder trees below a target folder.
#include "commands/install.h"

#include "runtime/text.h"
#include "ui/messages.h"
#include "ui/progress.h"

#include <string.h>

namespace {

// The copy target, kept from one set-up to the next.
char targetBase[MAX_PATH];   // always ends with a backslash
size_t targetEnd;
size_t prefixLength;

void reportFolderFailure(const char* path) {
    showMsg(MCreateFolderFailed);
    showText(path);
}

}  // namespace

int createFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr)) return 1;
    // An existing folder is reused; a file of that name is no folder to copy into.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 1;
    }
    reportFolderFailure(path);
    return 0;
}

int copyEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (!entry) {
        prefixLength = strlen(folder);
        const char* target = static_cast<const char*>(context);
        copyText(targetBase, sizeof targetBase, target);
        if (strlen(target) >= sizeof targetBase - 1) {
            // Cut, it would name another folder: refuse it.
            targetBase[0] = 0;
            targetEnd = 0;
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

    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (targetFits) {
            ok = createFolder(target);
        } else {
            reportFolderFailure(sourceFits ? below : entry->cFileName);
        }
    } else if (targetFits) {
        ok = CopyFileA(source, target, FALSE) ? 1 : 0;
    }
    progress.update(sourceFits ? source : entry->cFileName, static_cast<int>(entry->nFileSizeLow), 0);
    // A tree counts as installed only when every step of it succeeded.
    if (context && !ok) *static_cast<int*>(context) = 0;
    return ok;
}

void insertThousands(char* digits, size_t cap) {
    size_t length = strlen(digits);
    if (length <= 3) return;
    if (length + (length - 1) / 3 + 1 > cap) return;   // never written past the buffer
    for (size_t at = length - 3; at > 0; at = at > 3 ? at - 3 : 0) {
        memmove(digits + at + 1, digits + at, strlen(digits + at) + 1);
        digits[at] = ',';
    }
}
