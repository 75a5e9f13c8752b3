// Every block the plugin allocates comes from the process heap, zero-filled:
// code relies on unset fields of panel items and records being zero.
#pragma once
#include <stddef.h>

void* heapAlloc(size_t size);
void heapFree(void* block);
char* heapDup(const char* text);

template <class T>
T* heapArray(size_t count) {
    return static_cast<T*>(heapAlloc(sizeof(T) * (count ? count : 1)));
}
