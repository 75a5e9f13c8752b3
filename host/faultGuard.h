// Calls into a plugin with its faults contained, as the host does with the
// plugins it loads: an access violation or a raised exception inside the call
// ends the call, not the host. The plugin's own frames are abandoned, so a
// guarded call must hold nothing of ours that needs a destructor.
#pragma once

#include <windows.h>

#include <type_traits>

namespace farhost {

// Runs fn(context); 0 when it returned, else the code of the exception.
DWORD callGuarded(void (*fn)(void* context), void* context);

template <typename F>
DWORD guarded(F&& body) {
    using Body = typename std::remove_reference<F>::type;
    return callGuarded([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}

}  // namespace farhost
