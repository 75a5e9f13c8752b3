// What became of one drop, told in the closing box: a line for each item, or
// step, that failed and why.
#pragma once

// Forgets the lines of the previous drop.
void clearInstallReport();
// Adds the line "first second" (second may be nullptr); lines past the box's
// room are counted, not kept.
void noteInstallFailure(const char* first, const char* second = nullptr);
int installFailureCount();          // every line noted, kept or not
int installFailureLinesKept();
const char* installFailureLine(int index);
