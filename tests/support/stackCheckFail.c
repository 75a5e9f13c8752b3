/* The stack protector's checks for the DLLs the tests load. A frame whose
   guard word was overwritten ends its call with the system's "stack buffer
   overrun" exception, which the host's call guard reports as a fault; the
   runtime's own handler would abort the whole process instead. */
#include <windows.h>

/* Set once at load from values that differ run to run. */
void* __stack_chk_guard = (void*)0x5A17C0DE;

__attribute__((constructor)) static void seedStackGuard(void) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    __stack_chk_guard = (void*)((ULONG_PTR)__stack_chk_guard ^ now.LowPart ^ GetCurrentProcessId() << 16);
}

__attribute__((noreturn)) void __stack_chk_fail(void) {
    RaiseException(0xC0000409 /* stack buffer overrun */, EXCEPTION_NONCONTINUABLE, 0, NULL);
    for (;;) ExitProcess(0xC0000409);
}
