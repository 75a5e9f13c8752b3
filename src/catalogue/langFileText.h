// Text rules of a plugin's language file (*.lng): the language it names in its
// ".Language" line, and the text of one message line. Plain buffer work.
#pragma once
#include <stddef.h>

// The language named by a first line ".Language=<name>,<description>": after
// the first "=", leading spaces skipped, up to the first comma. Returns the
// start and sets *length; nullptr when the line is not a ".Language" line or
// lacks the comma (such a line names no language the host would pick).
const char* languageNameOf(const char* line, size_t* length);

// True when the length characters at name equal wanted, letters compared
// without regard to case.
bool sameLanguage(const char* name, size_t length, const char* wanted);

// For a line whose first character is a double quote: cuts it in place to the
// message text (line end and closing quote dropped, \" and \\ unescaped) and
// returns where the text starts. nullptr for every other line.
char* messageTextOf(char* line);

// Whether a piece read with fgets into a buffer of size bytes ends its line:
// a full buffer without a line end leaves the rest of the line for the next
// read, so that rest must not be taken for a line of its own.
bool pieceEndsLine(const char* piece, size_t size);
