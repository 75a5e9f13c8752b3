// The reference for a cold scan in the released host: lists a plugins folder
// and loads and frees each DLL under it once, by its full path, as a probing
// scan must at the least; prints how many and how long. Run it the way FAR is
// run (scripts/realhost-scan.sh runs it under the same debugger).
//   loadFreeReference FOLDER [SKIP] [read]
//     SKIP: a DLL file name left out (the scanning plugin's own, which FAR
//     holds); read: each DLL is read whole instead, without being loaded (the
//     reference for a scan that takes what it asks plugins from FAR's cache).
#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

const char* skipName = "";
bool readOnly = false;
int loaded = 0, failed = 0;

// Reads the file whole into one buffer, as a scan reads a DLL it does not load.
bool readWhole(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    char* buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
    bool ok = buffer && ReadFile(file, buffer, size, &got, nullptr) && got == size;
    HeapFree(GetProcessHeap(), 0, buffer);
    CloseHandle(file);
    return ok;
}

void loadAndFreeUnder(const char* folder) {
    char pattern[MAX_PATH];
    if (snprintf(pattern, sizeof pattern, "%s*.*", folder) >= static_cast<int>(sizeof pattern)) return;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
        char path[MAX_PATH];
        if (snprintf(path, sizeof path, "%s%s", folder, entry.cFileName) >= static_cast<int>(sizeof path)) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (strlen(path) + 2 > sizeof path) continue;
            strcat(path, "\\");
            loadAndFreeUnder(path);
            continue;
        }
        const char* dot = strrchr(entry.cFileName, '.');
        if (!dot || _stricmp(dot, ".dll") || !_stricmp(entry.cFileName, skipName)) continue;
        if (readOnly) {
            ++(readWhole(path) ? loaded : failed);
            continue;
        }
        HMODULE module = LoadLibraryExA(path, nullptr, 0);
        if (!module) {
            ++failed;
            continue;
        }
        FreeLibrary(module);
        ++loaded;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: loadFreeReference FOLDER [SKIP] [read]\n");
        return 2;
    }
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder - 1, "%s", argv[1]);
    size_t n = strlen(folder);
    if (n && folder[n - 1] != '\\') strcat(folder, "\\");
    if (argc > 2) skipName = argv[2];
    readOnly = argc > 3 && !strcmp(argv[3], "read");
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    loadAndFreeUnder(folder);
    QueryPerformanceCounter(&end);
    printf(readOnly ? "read %d DLLs (%d could not be read) in %.1f ms\n"
                    : "loaded and freed %d DLLs (%d did not load) in %.1f ms\n", loaded, failed,
           (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    return 0;
}
