// Every change Vantorel makes to files beside and under the plugins folders
// goes through these few operations, so that a change and its repair can be
// stopped after any one of them, as when FAR's process ends there: that is
// how the journal's promise (a plugin is whole after any interruption) is
// tried step by step.
#pragma once
#include <windows.h>

#include <stddef.h>

// A rename on the same volume: never a copy, which would not be one step.
bool fsMove(const char* from, const char* to);
// The same for a file of Vantorel's own (a journal), which the renames tests
// make fail do not count.
bool fsRenameOwn(const char* from, const char* to);
bool fsMakeFolder(const char* path);
bool fsRemoveEmptyFolder(const char* path);
bool fsDeleteFile(const char* path);
bool fsSetAttributes(const char* path, DWORD attributes);
// A new file written whole and through to the disk; false when one is there.
bool fsWriteNew(const char* path, const char* text, size_t length);
// Text added at the end of a file, through to the disk.
bool fsAppend(const char* path, const char* text, size_t length);
// A folder to the Recycle Bin (the shell's, or the one tests put in its place).
bool fsRecycle(const char* folder);

// The Recycle Bin call, replaceable so that tests can keep it to themselves.
typedef bool (*RecycleFunction)(const char* folder);
extern RecycleFunction recycleFolder;

// Tests: after n more operations nothing reaches the disk any more (each
// fails with ERROR_NOT_READY), as if the process had ended; -1 lifts it.
void stopFileOpsAfter(int n);
// Operations made since the last stopFileOpsAfter.
int fileOpsMade();
// Tests: the writes of journals from the n-th on (counted from 0 after
// this call) fail with ERROR_DISK_FULL; -1 lets every write through.
void failWritesFrom(int n);
// Tests: of the renames counted from 1 after this call, those whose bit
// (1 << number) is set fail with error; 0 lets every rename through.
void failFolderMoves(unsigned renames, unsigned long error);
