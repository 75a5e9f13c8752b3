#include "folders/folderRemoval.h"

#include "runtime/folderWalk.h"
#include "folders/fileOps.h"
#include "runtime/text.h"

#include <string.h>

namespace {

bool exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

struct Check {
    RemovalProblem* problem;
    ExcusedFile excused;
    bool clear;
};

int checkEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    Check* check = static_cast<Check*>(context);
    if (!check->clear) return 0;
    char path[MAX_PATH];
    copyText(path, sizeof path, folder);
    if (!appendWhole(path, sizeof path, entry->cFileName)) {
        check->clear = false;
        copyText(check->problem->path, sizeof check->problem->path, folder);
        check->problem->error = ERROR_FILENAME_EXCED_RANGE;
        return 0;
    }
    DWORD error = 0;
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        error = ERROR_FILE_READ_ONLY;
    } else if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(check->excused && check->excused(path))) {
        // No sharing at all: any other open handle, a loaded DLL's among
        // them, makes this fail as the deletion would.
        HANDLE file = CreateFileA(path, GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            error = GetLastError();
        else
            CloseHandle(file);
    }
    if (error) {
        check->clear = false;
        copyText(check->problem->path, sizeof check->problem->path, path);
        check->problem->error = error;
    }
    return 0;
}

}  // namespace

bool folderRemovable(const char* folder, RemovalProblem* problem, ExcusedFile excused) {
    memset(problem, 0, sizeof *problem);
    Check check = {problem, excused, true};
    walkFolder(folder, checkEntry, &check, 1);
    return check.clear;
}

bool removeFolder(const char* folder, RemovalProblem* problem) {
    memset(problem, 0, sizeof *problem);
    if (fsRecycle(folder) && !exists(folder)) return true;
    // No Recycle Bin here: the folder is deleted.
    if (exists(folder) && !removeFolderTree(folder) && exists(folder)) {
        copyText(problem->path, sizeof problem->path, folder);
        problem->error = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
        return false;
    }
    return true;
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
                fsSetAttributes(child, entry.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            // A linked folder is removed as a link, never followed.
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                removeFolderTree(child);
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                fsRemoveEmptyFolder(child);
            else
                fsDeleteFile(child);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    return fsRemoveEmptyFolder(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}
