#include "runtime/errorText.h"

#include "runtime/text.h"

#include <stdio.h>
#include <string.h>

void errorText(DWORD error, char* out, size_t cap) {
    if (!out || !cap) return;
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                             sizeof text, nullptr);
    if (!n || n >= sizeof text) {
        snprintf(out, cap, "error %lu", static_cast<unsigned long>(error));
        return;
    }
    text[n] = 0;
    copyText(out, cap, text);
    for (char* p = out; *p; ++p)
        if (*p == '\r' || *p == '\n') *p = ' ';
    size_t length = strlen(out);
    while (length && (out[length - 1] == ' ' || out[length - 1] == '.')) out[--length] = 0;
}
