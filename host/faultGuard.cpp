#include "faultGuard.h"

#include <malloc.h>

namespace farhost {

namespace {

// A structured-exception frame of our own on the FS:[0] chain: its handler
// notes the exception, unwinds the plugin's frames and jumps back to the call.
struct GuardFrame {
    GuardFrame* next;   // the registration record comes first
    EXCEPTION_DISPOSITION(__cdecl* handler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);
    void* jump[5];
    volatile DWORD code;
    FaultInfo fault;
};

const DWORD kUnwinding = 0x2 | 0x4;   // EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND

inline GuardFrame* chainHead() {
    GuardFrame* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head) : : "memory");
    return head;
}

inline void setChainHead(GuardFrame* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }

EXCEPTION_DISPOSITION __cdecl onException(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
    if (record->ExceptionFlags & kUnwinding) return ExceptionContinueSearch;
    GuardFrame* frame = static_cast<GuardFrame*>(establisher);
    frame->code = record->ExceptionCode;
    FaultInfo& f = frame->fault;
    f.code = record->ExceptionCode;
    f.address = record->ExceptionAddress;
    f.parameters = record->NumberParameters;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
        f.access = static_cast<int>(record->ExceptionInformation[0]);
        f.target = record->ExceptionInformation[1];
    } else if (record->NumberParameters >= 1) {
        f.parameter = record->ExceptionInformation[0];
    }
    RtlUnwind(establisher, nullptr, record, nullptr);
    __builtin_longjmp(frame->jump, 1);
}

// Opaque to the optimiser, so that the landing point of the jump stays.
__attribute__((noipa)) void invoke(void (*fn)(void*), void* context) { fn(context); }

}  // namespace

__attribute__((noinline)) DWORD callGuarded(void (*fn)(void*), void* context, FaultInfo* info) {
    GuardFrame frame;
    frame.code = 0;
    frame.fault = FaultInfo();
    frame.handler = onException;
    frame.next = chainHead();
    if (__builtin_setjmp(frame.jump) == 0) {
        setChainHead(&frame);
        invoke(fn, context);
        setChainHead(frame.next);
        return 0;
    }
    setChainHead(frame.next);
    DWORD code = frame.code;
    if (code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
    if (info) *info = frame.fault;
    return code ? code : 1;
}

}  // namespace farhost
