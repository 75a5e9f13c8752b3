#include "faults/faultReport.h"

#include "common/hostText.h"

#include <stdio.h>

namespace farhost {

std::string locate(const void* address) {
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(address), &module) &&
        module) {
        char path[MAX_PATH + 1] = {};
        DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            char offset[24];
            snprintf(offset, sizeof offset, "+0x%lx",
                     static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(address) - reinterpret_cast<ULONG_PTR>(module)));
            return namePart(path) + offset;
        }
    }
    return hexAddress(reinterpret_cast<ULONG_PTR>(address));
}

namespace {

const char* exceptionName(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_BREAKPOINT: return "breakpoint";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "array bounds exceeded";
    case EXCEPTION_FLT_DIVIDE_BY_ZERO: return "floating-point division by zero";
    case EXCEPTION_IN_PAGE_ERROR: return "in-page error";
    case kHeapCorruption: return "heap corruption";
    case kStackBufferOverrun: return "stack buffer overrun";
    case 0xE06D7363: return "a C++ exception escaped the plugin";
    default: return nullptr;
    }
}

}  // namespace

std::string describeFault(const std::string& exportName, const FaultInfo& f) {
    std::string what;
    if (f.code == EXCEPTION_ACCESS_VIOLATION && f.access >= 0) {
        const char* verb = f.access == 1 ? "write to " : f.access == 8 ? "execute at " : "read from ";
        what = verb + hexAddress(f.target) + " at " + locate(f.address);
    } else if (f.code == kStackBufferOverrun) {
        // Raised by the plugin's own stack check as the call returned.
        what = "a stack frame's guard was overwritten (a structure on the stack smaller than what was written into it)";
    } else if (f.code == kHeapCorruption && f.parameters >= 1) {
        what = "a block freed twice (or never allocated), freed at " + locate(reinterpret_cast<void*>(f.parameter));
    } else {
        what = "exception raised at " + locate(f.address);
    }
    const char* name = exceptionName(f.code);
    std::string who = exportName.empty() ? std::string("a fault outside the calls the host guards") : exportName + " faulted";
    return who + ": " + what + " (exception " + hexAddress(f.code) +
           (name ? std::string(", ") + name : std::string()) + ")";
}

}  // namespace farhost
