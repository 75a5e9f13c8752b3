// Rewriting an archive plugin's extract command into one this plugin can run:
// its placeholders are dropped and the archive and target folder appended.
// Plain text rules, no Windows calls.
#pragma once
#include <stddef.h>

// Removes every "{...}" group; an unclosed group runs to the end.
void removeBraceGroups(char* command);
// Removes every blank-separated word containing "%", with the blank before it.
void removePercentWords(char* command);
// Both of the above, braces first.
void rewriteExtractCommand(char* command);
// Appends " <archive> <target>\" to command (cap bytes), quoting the archive
// and the target when they contain a blank. False, with command unchanged,
// when the result would not fit.
bool appendArchiveAndTarget(char* command, size_t cap, const char* archive, const char* target);
// The extension of an archive name (after its last "."), or nullptr.
const char* archiveExtension(const char* name);
