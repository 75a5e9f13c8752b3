// The places Vantorel keeps beside a plugins folder (same disk, out of FAR's
// reach: FAR loads every DLL it finds under its plugins folders): the
// staging folder where changes are made before they are moved in, each
// plugin's previous build, and the journal of a change under way.
#pragma once
#include <stddef.h>

// The path of name beside the plugins folder path lies in (the personal one
// when path lies there and it is outside the plugins folder). root, when
// given, receives the plugins folder chosen (nullptr when path lies in none,
// and then the place is beside path itself).
bool besidePluginsFolder(const char* path, const char* name, char* out, size_t cap, const char** root = nullptr);

// Makes a new, empty folder in the staging folder for a folder that will be
// put at target: "new-..." for a build to move in, "old-..." to set an
// installed folder aside in. False when none can be made; the reason is left
// in GetLastError.
bool makeStagingFolder(const char* target, char* staged, size_t cap);
bool makeAsideHolder(const char* target, char* holder, size_t cap);
// Whether path lies in a staging folder: made there by Vantorel for a change.
bool liesInStaging(const char* path);
// Removes the staging folders when nothing is left in them.
void tidyStagingFolders();

// The journal file that covers a plugin folder or DLL at path.
bool journalPathFor(const char* path, char* out, size_t cap);
// The journals of the plugins folders (one when both folders share it); the
// number written to out (MAX_PATH each).
int journalPaths(char (*out)[260], int cap);
