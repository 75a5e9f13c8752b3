#include "dll/pluginFitness.h"

#include "runtime/handles.h"
#include "runtime/heap.h"
#include "runtime/text.h"

#include <windows.h>
#include <string.h>

namespace {

// Whether folder + name names an existing file; the joined path goes to found.
bool fileIn(const char* folder, size_t folderLength, const char* name, char* found, size_t cap) {
    if (!folderLength || folderLength >= cap) return false;
    copyTextN(found, cap, folder, folderLength);
    if (found[folderLength - 1] != '\\' && !appendWhole(found, cap, "\\")) return false;
    if (!appendWhole(found, cap, name)) return false;
    DWORD attributes = GetFileAttributesA(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool inSystemFolder(UINT (WINAPI* folderOf)(LPSTR, UINT), const char* name, char* found, size_t cap) {
    char folder[MAX_PATH];
    UINT length = folderOf(folder, sizeof folder);
    return length && length < sizeof folder && fileIn(folder, length, name, found, cap);
}

bool inPath(const char* name, char* found, size_t cap) {
    DWORD length = GetEnvironmentVariableA("PATH", nullptr, 0);
    if (!length) return false;
    char* path = static_cast<char*>(heapAlloc(length + 1));
    if (!path) return false;
    bool hit = false;
    if (GetEnvironmentVariableA("PATH", path, length + 1) < length + 1) {
        for (const char* folder = path; *folder && !hit;) {
            const char* end = strchr(folder, ';');
            size_t n = end ? static_cast<size_t>(end - folder) : strlen(folder);
            hit = fileIn(folder, n, name, found, cap);
            folder += n + (end ? 1 : 0);
        }
    }
    heapFree(path);
    return hit;
}

// The side-by-side store: a plugin built against a versioned C runtime
// (MSVCR80.dll and later) names it in its manifest, and the loader takes it
// from a folder of WinSxS. Any 32-bit assembly folder holding the file counts.
bool inSideBySideStore(const char* name, char* found, size_t cap) {
    char store[MAX_PATH];
    UINT length = GetWindowsDirectoryA(store, sizeof store);
    if (!length || length >= sizeof store || !appendWhole(store, sizeof store, "\\WinSxS\\")) return false;
    char pattern[MAX_PATH];
    copyText(pattern, sizeof pattern, store);
    if (!appendWhole(pattern, sizeof pattern, "x86_*")) return false;
    WIN32_FIND_DATAA entry;
    FindHandle search(pattern, &entry);
    if (!search.found()) return false;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        char folder[MAX_PATH];
        copyText(folder, sizeof folder, store);
        if (appendWhole(folder, sizeof folder, entry.cFileName) && fileIn(folder, strlen(folder), name, found, cap))
            return true;
    } while (search.next(&entry));
    return false;
}

// Names the loader resolves itself, with no file behind them.
bool apiSetName(const char* dll) {
    return startsWithNoCase(dll, "api-ms-") || startsWithNoCase(dll, "ext-ms-");
}

// Walks the imports, looking each DLL up once (the table groups a DLL's
// functions) and keeping the first problem.
struct ImportCheck {
    const char* pluginPath;
    PluginFitness* fitness;
    char dll[MAX_PATH] = "";     // the DLL whose functions are being checked
    MappedFile file;             // its file
    PeImage image;
    bool checkable = false;      // its export table can be read
};

bool noteImport(const char* dll, const char* function, void* context) {
    ImportCheck* check = static_cast<ImportCheck*>(context);
    PluginFitness* fitness = check->fitness;
    if (apiSetName(dll)) return true;
    if (!equalNoCase(dll, check->dll)) {
        check->file.close();
        check->checkable = false;
        copyText(check->dll, sizeof check->dll, dll);
        char found[MAX_PATH];
        if (!findImportedDll(check->pluginPath, dll, found, sizeof found)) {
            fitness->reason = UNFIT_MISSING_DLL;
            copyText(fitness->dll, sizeof fitness->dll, dll);
            return false;
        }
        check->file.open(found);
        check->checkable = check->file.data() &&
                           openPeImage(&check->image, check->file.data(), check->file.size()) != PE_NOT_IMAGE;
    }
    if (function && check->checkable && !peExports(check->image, function)) {
        fitness->reason = UNFIT_MISSING_IMPORT;
        copyText(fitness->dll, sizeof fitness->dll, dll);
        copyText(fitness->function, sizeof fitness->function, function);
        return false;
    }
    return true;
}

}  // namespace

bool findImportedDll(const char* pluginPath, const char* dll, char* found, size_t cap) {
    if (!dll || !*dll || strchr(dll, '\\') || strchr(dll, '/')) return false;
    HMODULE loaded = GetModuleHandleA(dll);
    if (loaded) {
        DWORD length = GetModuleFileNameA(loaded, found, static_cast<DWORD>(cap));
        if (length && length < cap) return true;
    }
    const char* slash = strrchr(pluginPath, '\\');
    if (slash && fileIn(pluginPath, static_cast<size_t>(slash - pluginPath) + 1, dll, found, cap)) return true;
    return inSystemFolder(GetSystemDirectoryA, dll, found, cap) ||
           inSystemFolder(GetWindowsDirectoryA, dll, found, cap) || inPath(dll, found, cap) ||
           inSideBySideStore(dll, found, cap);
}

void checkPluginFile(const char* path, PluginFitness* fitness) {
    memset(fitness, 0, sizeof *fitness);
    fitness->reason = UNFIT_NOT_WINDOWS_DLL;
    if (!path) return;
    MappedFile file(path);
    fitness->readable = file.opened();
    if (!fitness->readable) {
        // Moved or deleted since the list was read, rather than unreadable.
        DWORD attributes = GetFileAttributesA(path);
        DWORD error = GetLastError();
        fitness->gone = attributes == INVALID_FILE_ATTRIBUTES &&
                        (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
    }
    readPluginImageFacts(file.data(), file.size(), &fitness->facts);
    fitness->reason = exportVerdict(fitness->facts);
    if (!hostKeeps(fitness->reason)) return;

    PeImage image;
    openPeImage(&image, file.data(), file.size());
    ImportCheck check;
    check.pluginPath = path;
    check.fitness = fitness;
    forEachPeImport(image, noteImport, &check);
}

bool exportsFarEntryPointIn(const uint8_t* data, size_t size) {
    PluginImageFacts facts;
    readPluginImageFacts(data, size, &facts);
    return (facts.entryPoints & FAR170_ENTRY_POINTS) != 0;
}

bool exportsFarEntryPoint(const char* path) {
    MappedFile file(path);
    return exportsFarEntryPointIn(file.data(), file.size());
}

bool isFar170Plugin(const char* path) {
    if (!path || !*path) return false;
    // A dropped name may be relative to the current folder; its imports are
    // looked for beside the file itself.
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return false;
    PluginFitness fitness;
    checkPluginFile(full, &fitness);
    return hostKeeps(fitness.reason);
}
