// Reading a loaded module's export and import tables: what names a plugin
// really exports (decorated names are the commonest mistake of a plugin
// built with mingw), and rerouting what it imports.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace farhost {

// The names in the module's export table, in table order.
std::vector<std::string> exportNames(HMODULE module);

// "ClosePlugin@4" -> "ClosePlugin", "_ClosePlugin@4" -> "ClosePlugin";
// "" when the name carries no stdcall decoration.
std::string undecoratedName(const std::string& exported);

// Points the module's import of `function` from `dll` (any case) at
// `replacement`; false when it imports no such function by name.
bool rerouteImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace farhost
