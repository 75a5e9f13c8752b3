#include "modules/heapChecks.h"

#include "faults/faultReport.h"
#include "modules/peImage.h"

#include <malloc.h>
#include <stdlib.h>

namespace farhost {

namespace {

[[noreturn]] void heapFault(void* caller) {
    ULONG_PTR where = reinterpret_cast<ULONG_PTR>(caller);
    RaiseException(kHeapCorruption, EXCEPTION_NONCONTINUABLE, 1, &where);
    for (;;) {}
}

__attribute__((noinline)) void __cdecl checkedFree(void* block) {
    if (block && !HeapValidate(reinterpret_cast<HANDLE>(_get_heap_handle()), 0, block))
        heapFault(__builtin_return_address(0));
    free(block);
}

__attribute__((noinline)) BOOL WINAPI checkedHeapFree(HANDLE heap, DWORD flags, void* block) {
    if (block && !HeapValidate(heap, 0, block)) heapFault(__builtin_return_address(0));
    return HeapFree(heap, flags, block);
}

}  // namespace

bool checkFreesOf(HMODULE module) {
    bool crt = rerouteImport(module, "msvcrt.dll", "free", reinterpret_cast<void*>(&checkedFree));
    bool kernel = rerouteImport(module, "kernel32.dll", "HeapFree", reinterpret_cast<void*>(&checkedHeapFree));
    return crt || kernel;
}

}  // namespace farhost
