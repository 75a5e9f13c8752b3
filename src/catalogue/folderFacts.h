// What one catalogue build learns about a folder from its files. Many DLLs in
// one folder share their folder's total, the version its file_id.diz gives
// and, when they do not describe themselves, the description its help file
// or file_id.diz gives: each is
// worked out once per build, so that a folder of a thousand DLLs is not read
// a thousand times.
#pragma once
#include <windows.h>

class FolderFacts {
public:
    explicit FolderFacts(int expectedFolders);
    ~FolderFacts();
    FolderFacts(const FolderFacts&) = delete;
    FolderFacts& operator=(const FolderFacts&) = delete;

    // The low 32 bits of the sizes of every file below folder (wrapping).
    DWORD totalOf(const char* folder);
    // The description from the files of a plugin folder (ending with a
    // backslash) into description (128 bytes), empty when they give none.
    void filesDescriptionOf(const char* folder, char* description);
    // The version from the file_id.diz of folder (ending with a backslash)
    // into version (16 bytes, unterminated when full); false when none.
    bool dizVersionOf(const char* folder, char* version);

    int folderWalks() const { return walks; }
    int folderReads() const { return reads; }

private:
    struct Slot {
        char* folder;   // nullptr: empty
        char kind;
        DWORD total;
        char* text;
    };
    Slot* find(char kind, const char* folder, bool* found);
    void remember(Slot* slot, char kind, const char* folder);
    Slot* slots;
    unsigned capacity;
    unsigned used;
    int walks, reads;
};
