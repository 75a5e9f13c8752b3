#include "dll/dllFileBytes.h"

#include "runtime/heap.h"

namespace {

// Larger files are mapped: only the few pages the readers touch are read.
constexpr size_t READ_WHOLE_BYTES = 4u << 20;
// What MappedFile takes at most: no plugin or system DLL is larger.
constexpr size_t LARGEST_BYTES = 256u << 20;

}  // namespace

DllFileBytes::~DllFileBytes() {
    heapFree(buffer);
}

bool DllFileBytes::readWhole(HANDLE file, size_t size) {
    if (size > capacity) {
        uint8_t* bigger = static_cast<uint8_t*>(heapAlloc(size));
        if (!bigger) return false;
        heapFree(buffer);
        buffer = bigger;
        capacity = size;
    }
    size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + done, static_cast<DWORD>(size - done), &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

void DllFileBytes::open(const char* path) {
    length = 0;
    mapped.close();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool plain = size != INVALID_FILE_SIZE && !high && size > 0 && size <= LARGEST_BYTES;
    if (plain && size <= READ_WHOLE_BYTES && readWhole(file, size)) length = size;
    CloseHandle(file);
    if (!plain || length) return;
    mapped.open(path);
    length = mapped.data() ? mapped.size() : 0;
}
