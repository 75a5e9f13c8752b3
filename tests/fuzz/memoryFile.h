// Bytes in memory served the way fgets serves a file whose line ends are
// already translated: at most size-1 bytes of one line, its line end included
// when it fits, NUL bytes passed on like any other. Shared by the fuzz targets
// and the unit tests.
#pragma once
#include <stddef.h>

struct MemoryFile {
    const char* data;
    size_t size;
    size_t position;
    int reads;
};

inline char* readMemoryPiece(char* buffer, int size, void* context) {
    MemoryFile* file = static_cast<MemoryFile*>(context);
    ++file->reads;
    if (size < 1 || file->position >= file->size) return nullptr;
    int n = 0;
    while (n < size - 1 && file->position < file->size) {
        char c = file->data[file->position++];
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = 0;
    return buffer;
}
