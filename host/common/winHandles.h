// Owners of the Windows handles the emulator opens, so that no early return
// leaks one, and the one test every folder listing needs.
#pragma once

#include <windows.h>

namespace farhost {

struct FindHandle {
    HANDLE h;
    explicit FindHandle(HANDLE handle) : h(handle) {}
    ~FindHandle() { if (h != INVALID_HANDLE_VALUE) FindClose(h); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
};

struct FileHandle {
    HANDLE h;
    explicit FileHandle(HANDLE handle) : h(handle) {}
    ~FileHandle() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
};

struct RegKey {
    HKEY h = nullptr;
    RegKey() = default;
    ~RegKey() { if (h) RegCloseKey(h); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
};

// "." and "..", which every listing leaves out.
inline bool isDotName(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace farhost
