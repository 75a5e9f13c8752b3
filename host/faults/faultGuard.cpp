#include "faults/faultGuard.h"

#include "guardedCall.h"   // src/guard/: the fault guard the plugin uses too

namespace farhost {

// The plugin's own guarded call does the containing (a structured-exception
// frame of our own on the FS:[0] chain); the host only reads what ended it.
DWORD callGuarded(void (*fn)(void*), void* context, FaultInfo* info) {
    EXCEPTION_RECORD record;
    DWORD code = guardedCallRecorded(fn, context, &record);
    if (!code || !info) return code;
    FaultInfo f;
    f.code = record.ExceptionCode ? record.ExceptionCode : code;
    f.address = record.ExceptionAddress;
    f.parameters = record.NumberParameters;
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        f.access = static_cast<int>(record.ExceptionInformation[0]);
        f.target = record.ExceptionInformation[1];
    } else if (record.NumberParameters >= 1) {
        f.parameter = record.ExceptionInformation[0];
    }
    *info = f;
    return code;
}

}  // namespace farhost
