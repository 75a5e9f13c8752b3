#include "common/hostText.h"

#include <stdio.h>
#include <string.h>

namespace farhost {

std::string hexAddress(unsigned long value, int digits) {
    char text[24];
    snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

std::string boundedText(const char* p, size_t cap, bool* terminated) {
    if (terminated) *terminated = true;
    if (!p) return std::string();
    const void* end = memchr(p, 0, cap);
    if (!end) {
        if (terminated) *terminated = false;
        return std::string(p, cap);
    }
    return std::string(p, static_cast<const char*>(end) - p);
}

void copyBounded(char* dst, size_t cap, const std::string& s) {
    if (!dst || cap == 0) return;
    size_t n = s.size() < cap - 1 ? s.size() : cap - 1;
    memcpy(dst, s.data(), n);
    dst[n] = 0;
}

static char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string trimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> splitText(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t pos = s.find(sep, start);
        if (pos == std::string::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, pos - start));
        start = pos + 1;
    }
}

std::string namePart(const std::string& path) {
    size_t pos = path.find_last_of('\\');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

}  // namespace farhost
