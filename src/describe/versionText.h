// Text rules behind a plugin's version: finding a version number in a line of
// its file_id.diz, storing it in the 16-byte field, and the folder whose
// file_id.diz belongs to a DLL. Plain buffer work, no file or system calls.
#pragma once
#include <stddef.h>

// Width of the version field; a version this long fills it unterminated.
constexpr size_t VERSION_CHARS = 16;

// Turns the letters A-Z into lower case, in place; other bytes stay.
void lowerLetters(char* text);

// Finds the version in one lower-cased line: after "version ", "ver", or a v
// directly followed by a full stop, space or digit, past any full stops and
// blanks, a digit starts it and the first of " \t:\n\r()" or the bytes 0xBA,
// 0xB3 ends it. Returns its start, and its length (at most 16) in *length;
// nullptr when the line holds none.
const char* findVersion(const char* line, size_t* length);

// Copies at most 16 characters of text into the field, padding with zeros.
void storeVersion(char* field, const char* text, size_t length);

// The folder whose file_id.diz speaks for the DLL: the path up to and with
// its last backslash, or the parent of a "\bin\" folder when the folder path
// is longer than 10 characters. False when the path has no backslash or the
// folder does not fit cap.
bool versionFolderOf(const char* dllPath, char* folder, size_t cap);

// The one order of versions, for sorting the list and for telling an older
// build from a newer one. A version is read as pieces, runs of digits and
// runs of letters; anything else only parts them ("1, 0, 0, 1" is "1.0.0.1",
// "3.0 RC1" is "3.0.rc.1"), and the word "build" too ("1.75 build 2634" is
// "1.75.2634"). Pieces are compared in turn: numbers by value, letters
// without regard to case, a word below any number, so that a suffix marks a
// build before the plain number; past its end a version reads as zeros
// ("2.1" = "2.1.0"). So "1.2beta" < "1.2" < "1.2.1", "3.0 RC1" < "3.0 RC2" <
// "3.0" < "3.0.1", "2.0a" < "2.0" < "2.0.1". Any version comes before none
// (nullptr or empty). Each text is read up to 16 characters. Returns -1, 0
// or 1.
int compareVersions(const char* a, const char* b);
