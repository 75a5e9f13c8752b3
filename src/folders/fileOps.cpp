#include "folders/fileOps.h"

#include "runtime/text.h"

#include <shellapi.h>
#include <string.h>

namespace {

int opsLeft = -1;
int opsMade;
unsigned failingMoves;
unsigned long failingError;
int movesCounted;
int failingWrites = -1;
int writesCounted;

// One operation may go ahead; false once the process is taken as ended.
bool goes() {
    ++opsMade;
    if (opsLeft < 0) return true;
    if (opsLeft == 0) {
        SetLastError(ERROR_NOT_READY);
        return false;
    }
    --opsLeft;
    return true;
}

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

bool writeThrough(const char* path, DWORD disposition, const char* text, size_t length) {
    if (!goes()) return false;
    if (failingWrites >= 0 && writesCounted++ >= failingWrites) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    HANDLE file = CreateFileA(path, disposition == OPEN_EXISTING ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (disposition == OPEN_EXISTING) SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    bool ok = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) && written == length &&
              FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) SetLastError(error ? error : ERROR_WRITE_FAULT);
    return ok;
}

}  // namespace

RecycleFunction recycleFolder = toRecycleBin;

bool fsMove(const char* from, const char* to) {
    ++movesCounted;
    if (movesCounted < 32 && (failingMoves & (1u << movesCounted))) {
        SetLastError(failingError);
        return false;
    }
    return goes() && MoveFileExA(from, to, 0) != 0;
}

bool fsRenameOwn(const char* from, const char* to) { return goes() && MoveFileExA(from, to, 0) != 0; }

bool fsMakeFolder(const char* path) { return goes() && CreateDirectoryA(path, nullptr) != 0; }
bool fsRemoveEmptyFolder(const char* path) { return goes() && RemoveDirectoryA(path) != 0; }
bool fsDeleteFile(const char* path) { return goes() && DeleteFileA(path) != 0; }
bool fsSetAttributes(const char* path, DWORD attributes) { return goes() && SetFileAttributesA(path, attributes); }

bool fsWriteNew(const char* path, const char* text, size_t length) {
    return writeThrough(path, CREATE_NEW, text, length);
}

bool fsAppend(const char* path, const char* text, size_t length) {
    return writeThrough(path, OPEN_EXISTING, text, length);
}

bool fsRecycle(const char* folder) { return goes() && recycleFolder(folder); }

void stopFileOpsAfter(int n) {
    opsLeft = n;
    opsMade = 0;
}

int fileOpsMade() { return opsMade; }

void failFolderMoves(unsigned renames, unsigned long error) {
    failingMoves = renames;
    failingError = error;
    movesCounted = 0;
}

void failWritesFrom(int n) {
    failingWrites = n;
    writesCounted = 0;
}
