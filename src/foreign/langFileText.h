// Text rules of a plugin's language file (*.lng): the language it names in its
// ".Language" line, which lines are message lines, and the text of each.
// Plain buffer work over an fgets-shaped reader.
#pragma once
#include "runtime/pieces.h"

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

// Reads a language file from its start, piece by piece of at most
// MESSAGE_PIECE_CHARS bytes, and hands every message text to add in file
// order. Only a piece that starts a physical line can be a message line: the
// rest of an overlong line would otherwise take an id and shift every later
// message. False when add fails (memory ran out).
constexpr int MESSAGE_PIECE_CHARS = 259;
typedef bool (*MessageSink)(const char* text, void* context);
bool readMessageLines(PieceReader read, void* readContext, MessageSink add, void* addContext);
