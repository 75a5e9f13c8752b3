#include "runtime/text.h"

#include <string.h>

size_t boundedLength(const char* text, size_t cap) {
    if (!text) return 0;
    size_t n = 0;
    while (n < cap && text[n]) ++n;
    return n;
}

size_t copyTextN(char* dst, size_t cap, const char* src, size_t n) {
    if (!dst || cap == 0) return 0;
    size_t len = src ? boundedLength(src, n) : 0;
    if (len > cap - 1) len = cap - 1;
    if (len) memmove(dst, src, len);
    dst[len] = 0;
    return len;
}

size_t copyText(char* dst, size_t cap, const char* src) {
    return copyTextN(dst, cap, src, cap);
}

bool appendText(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0) return false;
    size_t used = boundedLength(dst, cap - 1);
    size_t need = src ? strlen(src) : 0;
    size_t room = cap - 1 - used;
    size_t n = need < room ? need : room;
    if (n) memcpy(dst + used, src, n);
    dst[used + n] = 0;
    return n == need;
}

bool appendWhole(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0) return false;
    size_t used = boundedLength(dst, cap - 1);
    size_t need = src ? strlen(src) : 0;
    if (used + need > cap - 1) return false;
    memcpy(dst + used, src, need);
    dst[used + need] = 0;
    return true;
}

const char* findNoCase(const char* text, const char* word) {
    if (!text || !word) return nullptr;
    size_t wl = strlen(word);
    for (const char* p = text;; ++p) {
        size_t i = 0;
        while (i < wl && p[i] && lowerAscii(p[i]) == lowerAscii(word[i])) ++i;
        if (i == wl) return p;
        if (!*p) return nullptr;
    }
}

char* findNoCase(char* text, const char* word) {
    return const_cast<char*>(findNoCase(static_cast<const char*>(text), word));
}

bool equalNoCase(const char* a, const char* b) {
    if (!a || !b) return a == b;
    while (*a && lowerAscii(*a) == lowerAscii(*b)) ++a, ++b;
    return *a == 0 && *b == 0;
}

bool startsWithNoCase(const char* text, const char* prefix) {
    if (!text || !prefix) return false;
    for (; *prefix; ++text, ++prefix)
        if (lowerAscii(*text) != lowerAscii(*prefix)) return false;
    return true;
}

void setEndSlash(char* path, int wanted, size_t cap) {
    if (!path || !*path) return;
    size_t n = boundedLength(path, cap - 1);
    if (wanted) {
        if (path[n - 1] != '\\' && n + 1 < cap) {
            path[n] = '\\';
            path[n + 1] = 0;
        }
    } else if (path[n - 1] == '\\') {
        path[n - 1] = 0;
    }
}

// A path too long for the box loses its middle, so that both the drive and
// the file name stay visible.
void cutMiddle(char* out, size_t width, const char* path) {
    size_t length = strlen(path);
    if (length <= width) {
        copyText(out, width + 1, path);
        return;
    }
    const size_t dots = 3;
    size_t head = (width - dots) / 2;
    size_t tail = width - dots - head;
    copyTextN(out, width + 1, path, head);
    appendText(out, width + 1, "...");
    appendText(out, width + 1, path + length - tail);
}

void insertThousands(char* digits, size_t cap) {
    size_t length = strlen(digits);
    if (length <= 3) return;
    if (length + (length - 1) / 3 + 1 > cap) return;   // never written past the buffer
    for (size_t at = length - 3; at > 0; at = at > 3 ? at - 3 : 0) {
        memmove(digits + at + 1, digits + at, strlen(digits + at) + 1);
        digits[at] = ',';
    }
}
