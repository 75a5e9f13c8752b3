#include <windows.h>

#include <stdlib.h>

HANDLE GetProcessHeap() {
    return reinterpret_cast<HANDLE>(1);
}

void* HeapAlloc(HANDLE, DWORD flags, size_t size) {
    return flags & HEAP_ZERO_MEMORY ? calloc(1, size ? size : 1) : malloc(size ? size : 1);
}

BOOL HeapFree(HANDLE, DWORD, void* block) {
    free(block);
    return 1;
}

static char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

DWORD CharUpperBuffA(char* text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) text[i] = upper(text[i]);
    return length;
}

int lstrcmpiA(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(upper(*a)), y = static_cast<unsigned char>(upper(*b));
        if (x != y) return x < y ? -1 : 1;
        if (!x) return 0;
    }
}
