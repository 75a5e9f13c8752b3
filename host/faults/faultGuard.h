// Calls into a plugin with its faults contained, as the host does with the
// plugins it loads: an access violation or a raised exception inside the call
// ends the call, not the host. The plugin's own frames are abandoned, so a
// guarded call must hold nothing of ours that needs a destructor.
#pragma once

#include <windows.h>

#include <type_traits>

namespace farhost {

// What ended a guarded call.
struct FaultInfo {
    DWORD code = 0;              // the exception code; 0 = the call returned
    void* address = nullptr;     // where it was raised
    int access = -1;             // access violations: 0 read, 1 write, 8 execute; else -1
    ULONG_PTR target = 0;        // access violations: the address touched
    ULONG_PTR parameter = 0;     // the first parameter of any other exception
    DWORD parameters = 0;        // how many the exception carried
};

// Runs fn(context); 0 when it returned, else the code of the exception.
// `info`, when given, receives the details of the exception.
DWORD callGuarded(void (*fn)(void* context), void* context, FaultInfo* info = nullptr);

template <typename F>
DWORD guarded(F&& body, FaultInfo* info = nullptr) {
    using Body = typename std::remove_reference<F>::type;
    return callGuarded([](void* context) { (*static_cast<Body*>(context))(); }, &body, info);
}

}  // namespace farhost
