// Native stand-in for the few Windows declarations that the plugin's text
// rules see through far/farPlugin.h, so the fuzz targets build with clang on
// Linux (-m32 keeps every type 32 bits wide, and the host structures keep the
// sizes their static_asserts pin). The functions are plain ASCII versions of
// the Windows ones, defined in standIn.cpp.
#pragma once
#include <stddef.h>
#include <stdint.h>

#define WINAPI __attribute__((stdcall))
#define MAX_PATH 260

typedef uint32_t DWORD;
typedef int BOOL;
typedef void* HANDLE;
typedef struct HINSTANCE__* HMODULE;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct RECT {
    long left, top, right, bottom;
};

enum { VK_F1 = 0x70, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F7 = 0x76, VK_F8 = 0x77 };
enum { HEAP_ZERO_MEMORY = 8 };

HANDLE GetProcessHeap();
void* HeapAlloc(HANDLE heap, DWORD flags, size_t size);
BOOL HeapFree(HANDLE heap, DWORD flags, void* block);
DWORD CharUpperBuffA(char* text, DWORD length);
int lstrcmpiA(const char* a, const char* b);
