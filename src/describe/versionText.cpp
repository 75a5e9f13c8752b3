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

bool isLetter(char c) {
    char lower = lowerAscii(c);
    return (lower >= 'a' && lower <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

// One piece of a version: a run of digits or a run of letters; separators
// only part pieces. Past the end a version reads as endless zeros.
struct VersionPiece {
    const char* text;  // nullptr: past the end (a 0)
    size_t length;
    bool number;
};

// "build" before a number counts as a separator: "1.75 build 2634" is
// "1.75.2634", as FAR itself numbers its builds.
bool isBuildWord(const char* text, size_t length) {
    static const char BUILD[] = "build";
    if (length != sizeof BUILD - 1) return false;
    for (size_t k = 0; k < length; ++k)
        if (lowerAscii(text[k]) != BUILD[k]) return false;
    return true;
}

VersionPiece nextPiece(const char* v, size_t n, size_t* at) {
    size_t i = *at;
    for (;;) {
        while (i < n && !isDigit(v[i]) && !isLetter(v[i])) ++i;
        if (i >= n) {
            *at = n;
            return {nullptr, 0, true};
        }
        bool number = isDigit(v[i]);
        if (number)
            while (i < n && v[i] == '0') ++i;  // leading zeros carry no value
        size_t start = i;
        while (i < n && (number ? isDigit(v[i]) : isLetter(v[i]))) ++i;
        if (!number && isBuildWord(v + start, i - start)) continue;
        *at = i;
        return {v + start, i - start, number};
    }
}

// Numbers by value; any word below any number (a suffix marks a build before
// the plain number); words by their letters without regard to case.
int comparePieces(const VersionPiece& a, const VersionPiece& b) {
    if (a.number != b.number) return a.number ? 1 : -1;
    if (a.number && a.length != b.length) return a.length < b.length ? -1 : 1;
    size_t common = a.length < b.length ? a.length : b.length;
    for (size_t k = 0; k < common; ++k) {
        unsigned char ca = static_cast<unsigned char>(lowerAscii(a.text[k]));
        unsigned char cb = static_cast<unsigned char>(lowerAscii(b.text[k]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
}

}  // namespace

int compareVersions(const char* a, const char* b) {
    size_t na = a ? boundedLength(a, VERSION_CHARS) : 0;
    size_t nb = b ? boundedLength(b, VERSION_CHARS) : 0;
    if (!na || !nb) return na ? -1 : (nb ? 1 : 0);
    size_t i = 0, j = 0;
    while (i < na || j < nb) {
        VersionPiece pa = nextPiece(a, na, &i);
        VersionPiece pb = nextPiece(b, nb, &j);
        int order = comparePieces(pa, pb);
        if (order) return order;
    }
    return 0;
}
