// Whether a module the host loaded is still in the process. Another plugin may
// free a module behind the host's back (a plugin manager's unload command does
// exactly that); calling into it afterwards would run freed code.
#pragma once

#include <windows.h>

#include <string>

namespace farhost {

// True when `module` is among the process's loaded modules and still carries
// the file at `path` (any case): a module freed and another loaded at the same
// address does not count.
bool moduleStillLoaded(HMODULE module, const std::string& path);

}  // namespace farhost
