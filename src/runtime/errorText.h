// A Windows error code as the system words it for the user.
#pragma once
#include <windows.h>
#include <stddef.h>

// The system's text of error (one line, without its final period and line
// end), or "error N" when the system has none. out holds cap bytes.
void errorText(DWORD error, char* out, size_t cap);
