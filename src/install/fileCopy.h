// Copying dropped files and folder trees below a target folder, with Esc
// asking whether to stop.
#pragma once
#include <windows.h>

// Creates one folder; an existing one counts as success. A failure goes to
// the install report with the folder's path. created, when given, says
// whether the folder is new.
int createFolder(const char* path);
int makeFolder(const char* path, int* created);
// Esc during copying asks whether to stop; once stopped, copyEntry copies
// nothing more until resetCopyStop.
void resetCopyStop();
bool copyStopped();
// Where copying looks for Esc: the host's console unless a test gives its own.
using EscapeSource = bool (*)();
void setEscapeSource(EscapeSource source);
// While set, copyEntry leaves a file that exists at its target as it is:
// an update's old files go under the new ones, never over them.
void keepExistingFiles(bool keep);
// The walkFolder visit function that copies one entry below the copy target.
// Called with no entry it sets the target up instead: folder is then the
// source prefix to strip and context the target folder, which it creates.
// Otherwise context, when given, is an int flag that a failed step clears.
int copyEntry(const WIN32_FIND_DATAA* entry, const char* folder, void* context);
