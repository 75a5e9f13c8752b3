// A fault inside a plugin call told the way its author needs it: what the
// export did, where in which module, and the exception code.
#pragma once

#include "faults/faultGuard.h"

#include <string>

namespace farhost {

// The exception the host's own heap checks raise for a block freed twice (or
// never allocated): the code Windows uses for heap corruption. Its first
// parameter is the address the free was called from.
constexpr DWORD kHeapCorruption = 0xC0000374;
// What a stack-protected build raises when a frame's guard was overwritten.
constexpr DWORD kStackBufferOverrun = 0xC0000409;

// "module.dll+0x16a1", or the bare address when no module holds it.
std::string locate(const void* address);

// "GetFindData faulted: write to 0x00000000 at sample.dll+0x16a1 (exception
// 0xC0000005, access violation)". No export name: "a fault outside the calls
// the host guards: ...".
std::string describeFault(const std::string& exportName, const FaultInfo& fault);

}  // namespace farhost
