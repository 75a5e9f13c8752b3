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

// A file mapped read-only into memory: the reader sees its bytes without the
// loader being asked to run anything of it. Files beyond any plugin or system
// DLL are not mapped.
class MappedFile {
public:
    MappedFile() {}
    explicit MappedFile(const char* path) { open(path); }
    ~MappedFile() { close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    void open(const char* path) {
        close();
        file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return;
        DWORD high = 0;
        DWORD size = GetFileSize(file_, &high);
        if (size == INVALID_FILE_SIZE || high || size == 0 || size > (256u << 20)) return;
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!mapping_) return;
        view_ = static_cast<const unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        if (view_) size_ = size;
    }
    void close() {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        mapping_ = nullptr;
        view_ = nullptr;
        size_ = 0;
    }
    bool opened() const { return file_ != INVALID_HANDLE_VALUE; }
    const unsigned char* data() const { return view_; }
    size_t size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const unsigned char* view_ = nullptr;
    size_t size_ = 0;
};
