#include "runtime/pieces.h"

#include <stdio.h>
#include <string.h>

char* readFilePiece(char* buffer, int size, void* file) {
    return fgets(buffer, size, static_cast<FILE*>(file));
}

int readPiece(PieceReader read, void* context, char* buffer, int size) {
    if (!read || !buffer || size < 2) return -1;
    memset(buffer, '\n', static_cast<size_t>(size));
    if (!read(buffer, size, context)) {
        buffer[0] = 0;
        return -1;
    }
    int length = size - 1;
    while (length > 0 && buffer[length] != 0) --length;
    buffer[size - 1] = 0;  // a reader that wrote no terminator still leaves one
    return length;
}

bool pieceEndsLine(const char* piece, size_t length, size_t size) {
    if (!piece || size < 2 || length == 0) return true;
    return length < size - 1 || piece[length - 1] == '\n';
}
