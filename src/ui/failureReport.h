// What failed and why, as the lines of a box: what became of each item of a
// drop (its closing box), or why a folder could not be made. Lines are kept
// until the next report is begun.
#pragma once
#include <stddef.h>

// Begins a report: forgets the lines of the previous one.
void clearFailureReport();
// Adds the line "first second" (second may be nullptr); lines past the box's
// room are counted, not kept.
void noteFailure(const char* first, const char* second = nullptr);
// Adds "name: reason": what became of one dropped item.
void noteItemFailure(const char* name, const char* reason);
// Adds "first path: reason", the path shortened in its middle so that the
// line fits the box (reason may be nullptr).
void notePathFailure(const char* first, const char* path, const char* reason);
int failureCount();          // every line noted, kept or not
int failureLinesKept();
const char* failureLine(int index);

// The widest line the host's boxes show on the current console.
size_t boxWidth();
// The Windows error code told in the user's words.
void describeWindowsError(unsigned long code, char* out, size_t cap);
