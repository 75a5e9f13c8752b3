#include "faults/faultGuard.h"

#include "guardedCall.h"   // src/guard/: the fault guard the plugin uses too

namespace farhost {

// The shared guard's call does the containing (a structured-exception
// frame of our own on the FS:[0] chain); the host only reads what ended it.
DWORD callGuarded(void (*fn)(void*), void* context, FaultInfo* info) {
    EXCEPTION_RECORD exception;
    DWORD code = guardedCallRecorded(fn, context, &exception);
    if (!code || !info) return code;
    FaultInfo f;
    f.code = exception.ExceptionCode ? exception.ExceptionCode : code;
    f.address = exception.ExceptionAddress;
    f.parameters = exception.NumberParameters;
    if (exception.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && exception.NumberParameters >= 2) {
        f.access = static_cast<int>(exception.ExceptionInformation[0]);
        f.target = exception.ExceptionInformation[1];
    } else if (exception.NumberParameters >= 1) {
        f.parameter = exception.ExceptionInformation[0];
    }
    *info = f;
    return code;
}

}  // namespace farhost
