// Owners of the handles the plugin opens, so that no early return leaks one.
#pragma once
#include <windows.h>
#include <stdio.h>

class FileHandle {
public:
    FileHandle(const char* path, const char* mode) : file_(path ? fopen(path, mode) : nullptr) {}
    ~FileHandle() {
        if (file_) fclose(file_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FILE* get() const { return file_; }

private:
    FILE* file_;
};

// A directory listing started with find-first.
class FindHandle {
public:
    FindHandle(const char* pattern, WIN32_FIND_DATAA* data) : handle_(FindFirstFileA(pattern, data)) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAA* data) { return FindNextFileA(handle_, data) != 0; }

private:
    HANDLE handle_;
};

class RegistryKey {
public:
    RegistryKey() : key_(nullptr) {}
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_;
};
