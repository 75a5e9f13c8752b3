#include "describe/versionText.h"

#include "state/pluginFolder.h"

#include "runtime/text.h"

#include <string.h>

namespace {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool skipsBeforeNumber(char c) {
    return c == '.' || c == ' ' || c == '\t';
}

// The 0xBA and 0xB3 are the box-drawing lines that framed file_id.diz texts
// in the DOS code pages; a number standing against one ends there.
inline bool endsNumber(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return c == 0 || strchr(" \t:\n\r()", c) != nullptr || u == 0xBA || u == 0xB3;
}

// Where the number after the v at p would start, or nullptr when this v
// introduces none.
const char* numberAfter(const char* p) {
    if (strncmp(p, "version ", 8) == 0) return p + 8;
    if (strncmp(p, "ver", 3) == 0) return p + 3;
    char next = p[1];
    if (next == '.' || next == ' ' || isDigit(next)) return p + 1;
    return nullptr;
}

} // namespace

void lowerLetters(char* text) {
    if (!text) return;
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text + 32);
}

const char* findVersion(const char* line, size_t* length) {
    if (!line) return nullptr;
    const char* from = line;
    while (const char* v = strchr(from, 'v')) {
        const char* number = numberAfter(v);
        if (!number) {
            from = v + 1;
            continue;
        }
        while (skipsBeforeNumber(*number)) ++number;
        if (!isDigit(*number)) {
            from = number;
            continue;
        }
        size_t n = 0;
        while (n < VERSION_CHARS && !endsNumber(number[n])) ++n;
        if (length) *length = n;
        return number;
    }
    return nullptr;
}

void storeVersion(char* field, const char* text, size_t length) {
    if (!field) return;
    size_t n = text ? boundedLength(text, length < VERSION_CHARS ? length : VERSION_CHARS) : 0;
    if (n) memcpy(field, text, n);
    memset(field + n, 0, VERSION_CHARS - n);
}

bool versionFolderOf(const char* dllPath, char* folder, size_t cap) {
    if (!folder || cap == 0) return false;
    folder[0] = 0;
    if (!dllPath) return false;
    const char* slash = strrchr(dllPath, '\\');
    if (!slash) return false;
    size_t n = static_cast<size_t>(slash - dllPath) + 1;
    if (n >= cap) return false;
    copyTextN(folder, cap, dllPath, n);
    cutBinFolder(folder);
    return true;
}

namespace {

bool isLetterOrDigit(char c) {
    char lower = lowerAscii(c);
    return isDigit(c) || (lower >= 'a' && lower <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

// Whether what is left of a version adds to it: only a number other than 0
// does ("2.1.0" is "2.1", "1.2beta" is "1.2", "1.75.2634" is more than "1.75").
bool addsToVersion(const char* rest, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (isDigit(rest[i]) && rest[i] != '0') return true;
    return false;
}

}  // namespace

int compareVersions(const char* a, const char* b) {
    size_t na = a ? boundedLength(a, VERSION_CHARS) : 0;
    size_t nb = b ? boundedLength(b, VERSION_CHARS) : 0;
    if (!na || !nb) return na ? -1 : (nb ? 1 : 0);
    size_t i = 0, j = 0;
    while (i < na && j < nb) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Leading zeros carry no value; then the longer run is the larger.
            while (i < na && a[i] == '0') ++i;
            while (j < nb && b[j] == '0') ++j;
            size_t si = i, sj = j;
            while (i < na && isDigit(a[i])) ++i;
            while (j < nb && isDigit(b[j])) ++j;
            size_t la = i - si, lb = j - sj;
            if (la != lb) return la < lb ? -1 : 1;
            int order = memcmp(a + si, b + sj, la);
            if (order) return order < 0 ? -1 : 1;
            continue;
        }
        if (!isLetterOrDigit(a[i]) && !isLetterOrDigit(b[j])) {
            // Separators are all alike, however many: "1, 0, 0, 1" is "1.0.0.1".
            while (i < na && !isLetterOrDigit(a[i])) ++i;
            while (j < nb && !isLetterOrDigit(b[j])) ++j;
            continue;
        }
        char ca = lowerAscii(a[i]), cb = lowerAscii(b[j]);
        if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        ++i;
        ++j;
    }
    if (addsToVersion(a + i, na - i)) return 1;
    if (addsToVersion(b + j, nb - j)) return -1;
    return 0;
}
