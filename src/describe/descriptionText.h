// Text rules behind a plugin's one-line description: choosing among its menu
// strings, cleaning the first line of a file_id.diz and finding the
// ".plugincontents" line of a help file.
// Plain buffer work, no file or system calls.
#pragma once
#include "runtime/pieces.h"

#include <stddef.h>

struct PluginInfo;

// Longest description the panel shows (the field holds 128 bytes).
constexpr size_t DESCRIPTION_CHARS = 127;
// How many reads of a help file may find its ".plugincontents" line.
constexpr int HELP_READS = 5;
// Each help-file read yields at most this many characters.
constexpr int HELP_PIECE_CHARS = 127;

// Shortens every run of two or more blanks (space, tab) that is followed by a
// non-blank to its first character; a run at the very end stays as it is.
void collapseBlanks(char* text);

// Deletes the first occurrence of word (letters without regard to case); when
// set is given, also the run of characters of set (exact) that then starts at
// the same position. Nothing happens when the word does not occur.
void removeWord(char* text, const char* word, const char* set);

// Turns the first line of a file_id.diz into a description: cut at the line
// end, drop the words such lines repeat (unless it starts with J or j), drop
// spaced punctuation, strip the end, at most 127 characters into out.
void cleanDizLine(const char* line, char* out, size_t cap);

// The first menu string of the first list a plugin that answered filled: disk
// menu, plugins menu, configuration menu; "" when all three counts are zero.
// A broken answer (a count without a list or without a string) gives nullptr,
// and the plugin is then described by its files as if it had not answered.
const char* menuDescriptionOf(const PluginInfo* info);

// When line begins with ".plugincontents" (any case) it is the help file's
// contents line: its text after the first "=" (line ends right after the "="
// skipped, then up to the next CR or LF) goes into out, possibly empty, and the
// result is true. Otherwise out is untouched and the result is false.
bool helpContentsText(const char* line, char* out, size_t cap);

// Reads at most HELP_READS pieces of at most HELP_PIECE_CHARS characters and
// stops at the first that begins with ".plugincontents", taking its text into
// out. Each piece counts as a line as read, the pieces of an overlong line too,
// so a contents line may also begin inside a long physical line. True when the
// contents line was found.
bool scanHelpContents(PieceReader read, void* context, char* out, size_t cap);
