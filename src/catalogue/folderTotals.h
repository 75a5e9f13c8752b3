// Folder totals of one catalogue build. Every DLL examined afresh is shown
// with the size of its folder; many DLLs in one folder share that total, so
// each folder is summed once per build.
#pragma once
#include <windows.h>

class FolderTotals {
public:
    explicit FolderTotals(int expectedFolders);
    ~FolderTotals();
    FolderTotals(const FolderTotals&) = delete;
    FolderTotals& operator=(const FolderTotals&) = delete;
    // The low 32 bits of the sizes of every file below folder (wrapping),
    // summed on the first request for that folder (letter case ignored).
    DWORD of(const char* folder);
    int summed() const { return walks; }   // folders actually walked

private:
    struct Slot {
        char* folder;
        DWORD total;
    };
    Slot* slots;
    unsigned capacity;
    unsigned used;
    int walks;
};
