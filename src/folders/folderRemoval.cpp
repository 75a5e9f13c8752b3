#include "folders/folderRemoval.h"

#include "runtime/folderWalk.h"
#include "folders/pluginSwap.h"
#include "runtime/text.h"

#include <shellapi.h>
#include <string.h>

namespace {

bool toRecycleBin(const char* folder) {
    // The shell wants a list of names ended by an empty one.
    char from[MAX_PATH + 1];
    memset(from, 0, sizeof from);
    copyText(from, MAX_PATH, folder);
    SHFILEOPSTRUCTA operation;
    memset(&operation, 0, sizeof operation);
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

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

RecycleFunction recycleFolder = toRecycleBin;

bool folderRemovable(const char* folder, RemovalProblem* problem, ExcusedFile excused) {
    memset(problem, 0, sizeof *problem);
    Check check = {problem, excused, true};
    walkFolder(folder, checkEntry, &check, 1);
    return check.clear;
}

bool removeFolder(const char* folder, RemovalProblem* problem) {
    memset(problem, 0, sizeof *problem);
    if (recycleFolder(folder) && !exists(folder)) return true;
    // No Recycle Bin here: the folder is deleted.
    if (exists(folder) && !removeFolderTree(folder) && exists(folder)) {
        copyText(problem->path, sizeof problem->path, folder);
        problem->error = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
        return false;
    }
    return true;
}
