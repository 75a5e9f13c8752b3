// What one walk of a tree saw of its folders: their sizes and their language
// files. The walk hands over each file and the folder holding it; afterwards
// a folder's total is its own files and everything below it, so that a build
// that has just listed the plugins tree need not list each plugin's folder
// again to learn its size or find its *.lng files. Plain rules over path
// texts: no file-system calls.
#pragma once
#include <windows.h>

class FolderListing {
public:
    FolderListing() {}
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // A file of size bytes (the low 32 bits) seen in folder, a path ending
    // with a backslash.
    void addFile(const char* folder, const char* name, DWORD size);
    // A linked folder seen in folder: a walk from elsewhere may enter it where
    // this walk did not (or the other way round), so neither folder nor any
    // folder above it has a total.
    void addLink(const char* folder);
    // Adds each folder's files to every folder above it up to top (the folder
    // the walk started from, ending with a backslash). Once, after the walk.
    void finish(const char* top);
    // The low 32 bits of the sizes of every file below folder (with or without
    // its trailing backslash, letter case aside), wrapping; false when the
    // walk did not see that folder or did not see it whole.
    bool totalOf(const char* folder, DWORD* total) const;
    // The "*.lng" files seen in folder (ending with a backslash), in the order
    // seen: names each ended by a zero, an empty name ending the list; nullptr
    // when the walk did not see that folder.
    const char* languageFilesOf(const char* folder) const;

private:
    struct Folder {
        char* path;      // ends with a backslash
        unsigned hash;
        DWORD own;       // its own files
        DWORD total;     // with everything below, after finish
        bool linked;
        char* languageFiles;   // nullptr: none
    };
    Folder* add(const char* path);
    int find(const char* path, unsigned hash) const;
    bool grow();
    Folder* folders = nullptr;
    int count = 0, capacity = 0;
    int* index = nullptr;       // open addressing: folder number + 1, 0 empty
    unsigned indexSize = 0;     // a power of two, at least twice count
};
