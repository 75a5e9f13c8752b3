#include "runtime/heap.h"

#include <windows.h>
#include <string.h>

void* heapAlloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void heapFree(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

char* heapDup(const char* text) {
    if (!text) return nullptr;
    size_t n = strlen(text);
    char* copy = static_cast<char*>(heapAlloc(n + 1));
    if (copy) memcpy(copy, text, n);
    return copy;
}
