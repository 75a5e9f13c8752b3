#include "folders/pluginSwap.h"

#include "folders/folderRemoval.h"
#include "folders/moveJournal.h"
#include "folders/previousBuilds.h"
#include "runtime/text.h"
#include "state/pluginState.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

unsigned failingMoves;
int stopAt;
MovePlan swapPlan;   // too big for the host's stack
unsigned long failingError;
int moveCount;
unsigned stagingSerial;

bool moveFolder(const char* from, const char* to) {
    ++moveCount;
    if (moveCount < 32 && (failingMoves & (1u << moveCount))) {
        SetLastError(failingError);
        return false;
    }
    // No copy across volumes: a move that is not a rename is no swap.
    return MoveFileExA(from, to, 0) != 0;
}

bool startsWithFolder(const char* path, const char* folder) {
    return folder && *folder && startsWithNoCase(path, folder);
}

// The folder staging folders go in, beside the plugins folder.
bool stagingRootFor(const char* target, char* out, size_t cap) {
    return besidePluginsFolder(target, "Vantorel.staging\\", out, cap);
}

bool makeUnique(const char* root, const char* prefix, char* out, size_t cap, bool create) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        snprintf(name, sizeof name, "%s%lx-%u", prefix, static_cast<unsigned long>(GetCurrentProcessId()),
                 ++stagingSerial);
        copyText(out, cap, root);
        if (!appendWhole(out, cap, name)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        if (GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES) continue;
        if (!create) return true;
        if (CreateDirectoryA(out, nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

}  // namespace

bool besidePluginsFolder(const char* path, const char* name, char* out, size_t cap, const char** chosen) {
    // A personal folder inside the plugins tree counts as the plugins tree.
    bool personal = startsWithFolder(path, personalPluginsFolder) &&
                    !startsWithFolder(personalPluginsFolder, pluginsRoot);
    const char* root = personal ? personalPluginsFolder : pluginsRoot;
    if (!startsWithFolder(path, root)) root = path;
    if (chosen) *chosen = root == path ? nullptr : root;
    char parent[MAX_PATH];
    copyText(parent, sizeof parent, root);
    setEndSlash(parent, 0, sizeof parent);
    char* slash = strrchr(parent, '\\');
    if (!slash) return false;
    slash[1] = 0;
    copyText(out, cap, parent);
    return appendWhole(out, cap, name);
}

bool makeStagingFolder(const char* target, char* staged, size_t cap) {
    char root[MAX_PATH];
    if (!stagingRootFor(target, root, sizeof root)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!CreateDirectoryA(root, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return makeUnique(root, "new-", staged, cap, true);
}

PlaceResult placeStagedFolder(const char* staged, const char* target) {
    PlaceResult result;
    memset(&result, 0, sizeof result);
    moveCount = 0;
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
        ++moveCount;   // no old folder to move aside
        if (moveFolder(staged, target)) return result;
        result.outcome = PLACE_IN_FAILED;
        result.error = GetLastError();
        return result;
    }
    // The old folder goes aside under its own name, then is kept as the
    // plugin's previous build (the one before goes to the Recycle Bin).
    char holder[MAX_PATH] = "", aside[MAX_PATH] = "", root[MAX_PATH];
    const char* name = strrchr(target, '\\');
    bool named = stagingRootFor(target, root, sizeof root) &&
                 (CreateDirectoryA(root, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) &&
                 makeUnique(root, "old-", holder, sizeof holder, true);
    if (named) {
        copyText(aside, sizeof aside, holder);
        named = appendWhole(aside, sizeof aside, name ? name : "\\old");
    }
    MovePlan& plan = swapPlan;
    memset(&plan, 0, sizeof plan);
    char previous[MAX_PATH], journal[MAX_PATH];
    bool journaled = named && journalPathFor(target, journal, sizeof journal) && planMove(plan, target, aside) &&
                     planMove(plan, staged, target);
    if (journaled && previousBuildPath(target, previous, sizeof previous)) {
        if (GetFileAttributesA(previous) != INVALID_FILE_ATTRIBUTES) planRemoval(plan, previous);
        planKeep(plan, aside, previous);
    } else if (journaled) {
        planRemoval(plan, aside);
    }
    if (!journaled || !beginJournal(journal, plan) || !moveFolder(target, aside)) {
        result.outcome = PLACE_ASIDE_FAILED;
        result.error = journaled ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        if (journaled) endJournal(journal);
        if (holder[0]) RemoveDirectoryA(holder);
        return result;
    }
    if (stopAt == 1) return result;   // as if the process ended here
    if (!moveFolder(staged, target)) {
        result.error = GetLastError();
        result.outcome = PLACE_IN_FAILED;
        if (!moveFolder(aside, target)) {
            result.outcome = PLACE_RESTORE_FAILED;
            copyText(result.heldAside, sizeof result.heldAside, aside);
        } else {
            RemoveDirectoryA(holder);
            endJournal(journal);
        }
        return result;
    }
    if (stopAt == 2) return result;
    commitJournal(journal, plan);
    if (stopAt == 3) return result;
    cleanUp(plan);
    // The previous build could not be kept (or there is no place for one):
    // what the new build replaced is in the Recycle Bin.
    result.oldLeft = GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES;
    RemoveDirectoryA(holder);
    endJournal(journal);
    return result;
}

void stopSwapAfter(int step) { stopAt = step; }

void tidyStagingFolders() {
    const char* roots[2] = {pluginsRoot, personalPluginsFolder};
    for (const char* root : roots) {
        char folder[MAX_PATH];
        if (root && *root && stagingRootFor(root, folder, sizeof folder)) RemoveDirectoryA(folder);
    }
}

bool removeFolderTree(const char* path) {
    char pattern[MAX_PATH];
    copyText(pattern, sizeof pattern, path);
    if (!appendWhole(pattern, sizeof pattern, "\\*")) return false;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
            char child[MAX_PATH];
            copyText(child, sizeof child, path);
            if (!appendWhole(child, sizeof child, "\\") || !appendWhole(child, sizeof child, entry.cFileName)) continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesA(child, entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            // A linked folder is removed as a link, never followed.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                removeFolderTree(child);
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(child);
            else
                DeleteFileA(child);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    return RemoveDirectoryA(path) != 0 || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

void failFolderMoves(unsigned steps, unsigned long error) {
    failingMoves = steps;
    failingError = error;
}
