/* The stack protector's checks for the DLLs the tests load. A frame whose
   guard word was overwritten ends its call with the system's "stack buffer
   overrun" exception, which the host's call guard reports as a fault; the
   runtime's own handler would abort the whole process instead. */
#include <windows.h>

/* A fixed guard: these builds look for overruns, they do not defend against
   attacks. It must not change once protected frames are running. */
void* __stack_chk_guard = (void*)0x5A17C0DE;

__attribute__((noreturn)) void __stack_chk_fail(void) {
    RaiseException(0xC0000409 /* stack buffer overrun */, EXCEPTION_NONCONTINUABLE, 0, NULL);
    for (;;) ExitProcess(0xC0000409);
}
