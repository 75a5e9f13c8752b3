// The bytes of a DLL file for the readers of this folder, without the loader:
// read whole into one buffer that is kept from file to file, or mapped when
// the file is too large to read at once. Under Wine a mapping costs four more
// calls into the server than a read (the mapping, the view and the release of
// both), more than reading a plugin-sized file whole; a scan reads every DLL
// it examines afresh.
#pragma once
#include "runtime/handles.h"

#include <stddef.h>
#include <stdint.h>

class DllFileBytes {
public:
    DllFileBytes() {}
    ~DllFileBytes();
    DllFileBytes(const DllFileBytes&) = delete;
    DllFileBytes& operator=(const DllFileBytes&) = delete;

    // Takes the bytes of the file at path in place of the last file's; none
    // when it cannot be opened or read, or is empty.
    void open(const char* path);
    const uint8_t* data() const { return length ? (mapped.data() ? mapped.data() : buffer) : nullptr; }
    size_t size() const { return length; }

private:
    bool readWhole(HANDLE file, size_t size);
    uint8_t* buffer = nullptr;
    size_t capacity = 0;
    size_t length = 0;
    MappedFile mapped;
};
