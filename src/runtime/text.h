// Bounded text helpers. Every write into a fixed buffer states its capacity
// (bytes, terminator included); results are always terminated when cap > 0.
#pragma once
#include <stddef.h>

// Length of text, but never more than cap (for fields that may lack a terminator).
size_t boundedLength(const char* text, size_t cap);
// Copies at most cap-1 characters; returns the number copied.
size_t copyText(char* dst, size_t cap, const char* src);
// Copies at most n characters of src (and at most cap-1).
size_t copyTextN(char* dst, size_t cap, const char* src, size_t n);
// Appends as much of src as fits; returns true when all of it fitted.
bool appendText(char* dst, size_t cap, const char* src);
// Like appendText, but leaves dst unchanged unless all of src fits.
bool appendWhole(char* dst, size_t cap, const char* src);

// A-Z to a-z; every other byte as it is.
inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// First position of word in text, letters A-Z compared without regard to
// case and every other byte exactly; nullptr when it does not occur.
const char* findNoCase(const char* text, const char* word);
char* findNoCase(char* text, const char* word);
// ASCII-only case-insensitive comparisons (A-Z only).
bool equalNoCase(const char* a, const char* b);
bool startsWithNoCase(const char* text, const char* prefix);

// Adds (wanted 1) or removes (wanted 0) one trailing backslash. A missing or
// empty path is left alone. Adding never writes past cap.
void setEndSlash(char* path, int wanted, size_t cap = 260);

// A path too long for a line of width characters loses its middle ("..."),
// so that both the drive and the file name stay visible. out holds width + 1.
void cutMiddle(char* out, size_t width, const char* path);

// Inserts "," between groups of three digits, in place (cap bytes).
void insertThousands(char* digits, size_t cap = 16);
