#include "testSupport.h"

#include <shlwapi.h>
#include <stdio.h>

#include <atomic>

namespace testing_support {

static std::atomic<int> counter{0};

static std::string uniqueName(const char* hint) {
    char buf[96];
    snprintf(buf, sizeof buf, "%s-%lu-%lu-%d", hint, GetCurrentProcessId(), GetTickCount(), counter++);
    return buf;
}

TempDir::TempDir(const char* hint) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    path_ = std::string(tmp) + "vantorel-tests\\" + uniqueName(hint) + "\\";
    makeDirs(path_);
}

TempDir::~TempDir() { removeTree(path_); }

TempKey::TempKey() { path_ = "Software\\VantorelTests\\" + uniqueName("k"); }

TempKey::~TempKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }

static std::string parentOf(const std::string& path) {
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool makeDirs(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.back() == '\\') p.pop_back();
    if (p.empty() || p.size() <= 2) return true;
    DWORD attr = GetFileAttributesA(p.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!makeDirs(parentOf(p))) return false;
    return CreateDirectoryA(p.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool removeTree(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.back() == '\\') p.pop_back();
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((p + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = p + "\\" + name;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileA(child.c_str())) RemoveDirectoryA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryA(p.c_str()) != 0;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    makeDirs(parentOf(path));
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    size_t n = fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return n == bytes.size();
}

std::string readFile(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return std::string();
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    fclose(f);
    return out;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool copyFile(const std::string& from, const std::string& to) {
    makeDirs(parentOf(to));
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

static bool copyFolder(const std::string& from, const std::string& to, bool recurse) {
    std::string src = from, dst = to;
    if (src.back() != '\\') src += '\\';
    if (dst.back() != '\\') dst += '\\';
    makeDirs(dst);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((src + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (recurse) ok = copyFolder(src + name, dst + name, true) && ok;
        } else {
            ok = CopyFileA((src + name).c_str(), (dst + name).c_str(), FALSE) && ok;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return ok;
}

bool copyFolderFiles(const std::string& from, const std::string& to) { return copyFolder(from, to, false); }
bool copyTree(const std::string& from, const std::string& to) { return copyFolder(from, to, true); }

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string all = readFile(path), cur;
    for (char c : all) {
        if (c == '\n') { lines.push_back(cur); cur.clear(); }
        else if (c != '\r') cur += c;
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

std::string buildDir() {
#ifdef VANTOREL_BUILD_DIR_W
    return std::string(VANTOREL_BUILD_DIR_W) + "\\";
#else
    return ".\\";
#endif
}

// The tests' build of the DLL (stack-protected), with the shipped companions.
std::string distDir() { return buildDir() + "dist-test\\"; }
std::string fixtureDir(const std::string& name) { return buildDir() + "fixtures\\" + name + "\\"; }

bool setWriteTime(const std::string& path, unsigned long long t) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return ok != 0;
}

unsigned long long writeTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return (static_cast<unsigned long long>(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime;
}

static std::string unixPathOf(const std::string& path) {
    typedef char*(CDECL * UnixName)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return std::string();
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unixName = toUnix(wide);
    if (!unixName) return std::string();
    std::string out = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return out;
}

bool makeFolderLink(const std::string& linkPath, const std::string& target) {
    if (CreateSymbolicLinkA(linkPath.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    // Under Wine the link is made by the Unix ln, which gives no process handle
    // to wait on: wait for the link to appear instead.
    std::string from = unixPathOf(target), to = unixPathOf(linkPath);
    if (from.empty() || to.empty()) return false;
    std::string cmd = "/bin/ln -s \"" + from + "\" \"" + to + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace testing_support
