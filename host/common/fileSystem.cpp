// Folder and file helpers for tests and the command-line host: building a
// FAR-like tree in a temporary folder and taking it down again.
#include "common/fileSystem.h"
#include "common/winHandles.h"

#include <vector>

#include <windows.h>

namespace farhost {

namespace {

std::string withSlash(const std::string& path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') return path + '\\';
    return path;
}

std::string withoutSlash(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

}  // namespace

bool readFileText(const std::string& path, std::string& content, size_t maxBytes) {
    content.clear();
    FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.h == INVALID_HANDLE_VALUE) return false;
    char buffer[8192];
    while (content.size() < maxBytes) {
        DWORD want = sizeof buffer;
        if (maxBytes - content.size() < want) want = static_cast<DWORD>(maxBytes - content.size());
        DWORD got = 0;
        if (!ReadFile(f.h, buffer, want, &got, nullptr) || got == 0) break;
        content.append(buffer, got);
    }
    return true;
}

bool makeDirs(const std::string& path) {
    std::string p = withoutSlash(path);
    if (p.empty()) return false;
    DWORD attr = GetFileAttributesA(p.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t cut = p.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0 && p[cut - 1] != ':' ) {
        if (!makeDirs(p.substr(0, cut))) return false;
    }
    return CreateDirectoryA(p.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool removeTree(const std::string& path) {
    std::string p = withoutSlash(path);
    DWORD attr = GetFileAttributesA(p.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return true;   // nothing to remove
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(p.c_str()) != 0;
    }
    bool ok = true;
    {
        WIN32_FIND_DATAA fd;
        FindHandle find(FindFirstFileA((withSlash(p) + "*").c_str(), &fd));
        if (find.h != INVALID_HANDLE_VALUE) {
            do {
                if (isDotName(fd.cFileName)) continue;
                if (!removeTree(withSlash(p) + fd.cFileName)) ok = false;
            } while (FindNextFileA(find.h, &fd));
        }
    }
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    if (!RemoveDirectoryA(p.c_str())) ok = false;
    return ok;
}

bool copyFiles(const std::string& srcDir, const std::string& destDir,
               const std::vector<std::string>& names) {
    if (!makeDirs(destDir)) return false;
    std::string src = withSlash(srcDir), dst = withSlash(destDir);
    bool ok = true;
    if (!names.empty()) {
        for (const std::string& n : names)
            if (!CopyFileA((src + n).c_str(), (dst + n).c_str(), FALSE)) ok = false;
        return ok;
    }
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA((src + "*").c_str(), &fd));
    if (find.h == INVALID_HANDLE_VALUE) return false;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!CopyFileA((src + fd.cFileName).c_str(), (dst + fd.cFileName).c_str(), FALSE)) ok = false;
    } while (FindNextFileA(find.h, &fd));
    return ok;
}

std::string uniqueTempDir(const std::string& prefix) {
    static LONG counter = 0;
    char temp[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) return std::string();
    std::string base = withSlash(temp) + prefix;
    // The tick count keeps folders of a process that reuses a pid apart.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        LONG c = InterlockedIncrement(&counter);
        std::string dir = base + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(c) + "-" +
                          std::to_string(GetTickCount() % 100000);
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir + '\\';
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            if (!makeDirs(withSlash(temp))) return std::string();
        }
    }
    return std::string();
}

}  // namespace farhost
