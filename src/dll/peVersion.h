// The FileVersion text of a DLL's version resource, read from the file's
// bytes as the system's version functions read it (the first translation's
// string table), without mapping the DLL as a module: under a debugger and
// under Wine every such mapping is a module load the user sees, and a scan
// should load a plugin once at most.
#pragma once
#include "dll/peImageFacts.h"

// The value of "\StringFileInfo\<first translation>\FileVersion": UTF-16LE
// characters at *text (not aligned, not terminated), *length of them, up to
// the first zero. False when the image has no such value.
bool peFileVersion(const PeImage& image, const uint8_t** text, size_t* length);
