#include "guardedCall.h"

#include <malloc.h>
#include <string.h>

// A hand-registered structured-exception frame on the FS:[0] chain. Its
// handler records the exception, unwinds the frames above it and jumps back to
// the guarded call site.
namespace {

struct GuardFrame;
typedef EXCEPTION_DISPOSITION(__cdecl* FrameHandler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);

struct GuardFrame {
    GuardFrame* next;      // the registration record must come first
    FrameHandler handler;
    void* jump[5];
    volatile DWORD code;
    EXCEPTION_RECORD record;
};

const DWORD UNWIND_FLAGS = 0x2 | 0x4;   // EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND

inline GuardFrame* chainHead() {
    GuardFrame* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head) : : "memory");
    return head;
}

inline void setChainHead(GuardFrame* head) {
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

EXCEPTION_DISPOSITION __cdecl guardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
    if (record->ExceptionFlags & UNWIND_FLAGS) return ExceptionContinueSearch;
    GuardFrame* frame = static_cast<GuardFrame*>(establisher);
    frame->code = record->ExceptionCode;
    frame->record = *record;
    frame->record.ExceptionRecord = nullptr;   // points into frames about to be abandoned
    RtlUnwind(establisher, nullptr, record, nullptr);
    __builtin_longjmp(frame->jump, 1);
}

// Opaque to the optimiser, so the landing point of the jump is kept.
__attribute__((noipa)) void invoke(GuardedFunction fn, void* context) {
    fn(context);
}

}  // namespace

DWORD guardedCall(GuardedFunction fn, void* context) {
    return guardedCallRecorded(fn, context, nullptr);
}

__attribute__((noinline)) DWORD guardedCallRecorded(GuardedFunction fn, void* context, EXCEPTION_RECORD* record) {
    GuardFrame frame;
    frame.code = 0;
    memset(&frame.record, 0, sizeof frame.record);
    frame.handler = guardHandler;
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
    if (record) *record = frame.record;
    return code ? code : 1;
}
