// Text rules of boxes: long paths and commands shortened in the
// middle to the width a box can show, and the reason for a Windows error.
// Plain text rules, no Windows calls.
#pragma once
#include <stddef.h>

// Copies text into out (cap bytes), shortened to width characters by putting
// "..." in its middle when it is longer: a path keeps its root ("C:\" or
// "\\server\") and as much of its end as fits, as the host shortens paths;
// other text keeps its start and its end in equal parts.
void shortenMiddle(char* out, size_t cap, const char* text, size_t width, bool isPath);
// The widest line a host message box shows on a console of that many columns.
size_t boxTextWidth(int columns);
// The message id that tells a Windows error code in the user's words, or -1
// when there is none of our own (the system's text is used then).
int windowsErrorMessageId(unsigned long code);
