// Removing a plugin's folder whole or not at all. Windows removes a folder
// file by file, and a file that is held open or read-only stops it half way:
// every file is tried first, and only a folder with none in the way goes.
#pragma once
#include <windows.h>

struct RemovalProblem {
    char path[MAX_PATH];   // the file in the way
    DWORD error;           // why: a Windows error code
};

// Whether every file under folder could be removed now: none read-only and
// none held open by anyone. The first file in the way goes to *problem.
// Files for which excused answers non-null (a DLL about to be released)
// are not tried for being held.
typedef HMODULE (*ExcusedFile)(const char* path);
bool folderRemovable(const char* folder, RemovalProblem* problem, ExcusedFile excused = nullptr);
// Sends the folder to the Recycle Bin, or where there is none deletes it.
// false with the reason in *problem when it is still there.
bool removeFolder(const char* folder, RemovalProblem* problem);

// Removes a folder with everything in it, for good; true when it is gone.
// Only for what Vantorel made itself and nobody needs.
bool removeFolderTree(const char* path);
