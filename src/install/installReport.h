// What became of one drop, told in the closing box: a line for each item, or
// step, that failed and why.
#pragma once
#include <stddef.h>

// Forgets the lines of the previous drop.
void clearInstallReport();
// Adds the line "first second" (second may be nullptr); lines past the box's
// room are counted, not kept.
void noteInstallFailure(const char* first, const char* second = nullptr);
// Adds "name: reason": what became of one dropped item.
void noteItemFailure(const char* name, const char* reason);
// Adds "first path: reason", the path shortened in its middle so that the
// line fits the box (reason may be nullptr).
void noteInstallPathFailure(const char* first, const char* path, const char* reason);
int installFailureCount();          // every line noted, kept or not
int installFailureLinesKept();
const char* installFailureLine(int index);

// The widest line the host's boxes show on the current console.
size_t installBoxWidth();
// The Windows error code told in the user's words.
void describeWindowsError(unsigned long code, char* out, size_t cap);
