#include "folders/userFiles.h"

#include "runtime/folderWalk.h"
#include "runtime/text.h"

#include <windows.h>

#include <string.h>

const char NEW_COPY_SUFFIX[] = ".new";

namespace {

bool endsWith(const char* name, const char* tail) {
    size_t n = strlen(name), t = strlen(tail);
    return n > t && equalNoCase(name + n - t, tail);
}

struct Walk {
    const char* from;      // the folder walked, as walkFolder names it
    const char* other;     // the other folder, paths below matched
    KeptFile kept;
    void* context;
    int count;
    bool ok;
};

// The path below the walked folder of entry, and the same path under other.
bool paths(const Walk& walk, const WIN32_FIND_DATAA* entry, const char* folder, char* here, char* there) {
    copyText(here, MAX_PATH, folder);
    if (!appendWhole(here, MAX_PATH, entry->cFileName)) return false;
    size_t root = strlen(walk.from);
    copyText(there, MAX_PATH, walk.other);
    return strlen(here) > root && appendWhole(there, MAX_PATH, here + root);
}

int noteKept(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    Walk* walk = static_cast<Walk*>(context);
    char here[MAX_PATH], there[MAX_PATH];
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !paths(*walk, entry, folder, here, there)) return 0;
    if (!usersCopyStays(here, there)) return 0;
    ++walk->count;
    if (walk->kept) walk->kept(here + strlen(walk->from), walk->context);
    return 0;
}

// The name a plugin DLL goes by, switched on or off.
void dllName(const char* name, char* out, size_t cap) {
    copyText(out, cap, name);
    if (endsWith(out, ".dll.off")) out[strlen(out) - 4] = 0;
}

int takeEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    Walk* walk = static_cast<Walk*>(context);
    char here[MAX_PATH], there[MAX_PATH];
    if (!paths(*walk, entry, folder, here, there)) return 0;
    bool present = GetFileAttributesA(there) != INVALID_FILE_ATTRIBUTES;
    if (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!present && !CreateDirectoryA(there, nullptr)) walk->ok = false;
        return 0;
    }
    char name[MAX_PATH];
    dllName(entry->cFileName, name, sizeof name);
    if (!present && endsWith(name, ".dll")) {
        char off[MAX_PATH];
        copyText(off, sizeof off, name);
        appendWhole(off, sizeof off, ".off");
        if (fileNamedUnder(walk->other, name) || fileNamedUnder(walk->other, off)) return 0;
    }
    if (present) {
        if (!usersCopyStays(here, there)) return 0;
        char aside[MAX_PATH];
        copyText(aside, sizeof aside, there);
        if (!appendWhole(aside, sizeof aside, NEW_COPY_SUFFIX) || !MoveFileExA(there, aside, MOVEFILE_REPLACE_EXISTING)) {
            walk->ok = false;
            return 0;
        }
    }
    if (!CopyFileA(here, there, FALSE)) walk->ok = false;
    return 0;
}

int copyEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    Walk* walk = static_cast<Walk*>(context);
    char here[MAX_PATH], there[MAX_PATH];
    if (!paths(*walk, entry, folder, here, there)) {
        walk->ok = false;
        return 0;
    }
    bool ok = (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CreateDirectoryA(there, nullptr) != 0
                                                                   : CopyFileA(here, there, TRUE) != 0;
    if (!ok) walk->ok = false;
    return 0;
}

// walkFolder names entries with their folder ending in a backslash.
void withSlash(const char* path, char* out) {
    copyText(out, MAX_PATH, path);
    setEndSlash(out, 1, MAX_PATH);
}

}  // namespace

bool isPluginsOwnFile(const char* name) {
    // A ".new" copy is a build's own too: the build that brings one wins.
    static const char* const OWN[] = {".dll", ".exe", ".fmt", ".fll", ".dll.off", ".lng", ".hlf", ".diz", ".txt",
                                      NEW_COPY_SUFFIX};
    for (const char* tail : OWN)
        if (endsWith(name, tail)) return true;
    return false;
}

bool sameContent(const char* a, const char* b) {
    HANDLE first = CreateFileA(a, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE second = CreateFileA(b, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE &&
                GetFileSize(first, nullptr) == GetFileSize(second, nullptr);
    char x[4096], y[4096];
    while (same) {
        DWORD n = 0, m = 0;
        if (!ReadFile(first, x, sizeof x, &n, nullptr) || !ReadFile(second, y, sizeof y, &m, nullptr) || n != m) {
            same = false;
            break;
        }
        if (!n) break;
        same = !memcmp(x, y, n);
    }
    if (first != INVALID_HANDLE_VALUE) CloseHandle(first);
    if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
    return same;
}

bool usersCopyStays(const char* installed, const char* arriving) {
    const char* name = strrchr(installed, '\\');
    name = name ? name + 1 : installed;
    return !isPluginsOwnFile(name) && GetFileAttributesA(arriving) != INVALID_FILE_ATTRIBUTES &&
           !sameContent(installed, arriving);
}

int filesKeptFromUser(const char* installed, const char* arriving, KeptFile kept, void* context) {
    char from[MAX_PATH], other[MAX_PATH];
    withSlash(installed, from);
    withSlash(arriving, other);
    Walk walk = {from, other, kept, context, 0, true};
    walkFolder(from, noteKept, &walk, 1);
    return walk.count;
}

bool takeUsersFiles(const char* installed, const char* stage) {
    char from[MAX_PATH], other[MAX_PATH];
    withSlash(installed, from);
    withSlash(stage, other);
    Walk walk = {from, other, nullptr, nullptr, 0, true};
    walkFolder(from, takeEntry, &walk, 1);
    return walk.ok;
}

bool copyFolderTree(const char* from, const char* to) {
    char source[MAX_PATH], target[MAX_PATH];
    withSlash(from, source);
    withSlash(to, target);
    if (!CreateDirectoryA(to, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    Walk walk = {source, target, nullptr, nullptr, 0, true};
    walkFolder(source, copyEntry, &walk, 1);
    return walk.ok;
}
