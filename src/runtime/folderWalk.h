// The one recursive folder walker, and a visit function that sums file sizes.
#pragma once
#include <windows.h>

// Receives one entry, the folder holding it (ending in a backslash) and the
// walker's context. The entry is valid only during the call.
typedef int (*VisitFunction)(const WIN32_FIND_DATAA* entry, const char* folder, void* context);

// Visits every entry of folder ("." and ".." skipped), descending depth first
// into subfolders when recurse is set; returns the number of entries found
// directly in the folder. Paths that would not fit 259 characters are not
// entered, and a folder that is its own ancestor (a linked folder looping
// back) is visited but not entered again.
int walkFolder(const char* folder, VisitFunction visit, void* context, int recurse);

// Whether a file of this name (any case) lies anywhere in the tree under folder.
bool fileNamedUnder(const char* folder, const char* name);

// Adds the low 32 bits of each file's size to the DWORD total (wrapping).
int sumFileSizes(const WIN32_FIND_DATAA* entry, const char* folder, void* total);
