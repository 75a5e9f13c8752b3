// The discovery walk of a catalogue build, keeping what it was told: each
// plugin DLL's find data (times, size, short name), and the sizes and
// language files of the folders under the plugins root. Under Wine a look-up of one file by its path
// lists its whole folder again and costs as much as the walk's visit of a
// whole plugin folder, so the build takes these from here.
#pragma once
#include "catalogue/folderListing.h"

#include <windows.h>

// Whether a file of this name is listed as a plugin DLL: "*.dll", and a
// switched-off plugin's "*.dll.off" too.
bool isPluginDllName(const char* fileName);

class PluginListing {
public:
    PluginListing() {}
    ~PluginListing();
    PluginListing(const PluginListing&) = delete;
    PluginListing& operator=(const PluginListing&) = delete;

    // Walks the plugins root, then the personal plugins folder. Only the
    // first walk keeps its folders: the personal folder may lie inside the
    // plugins root or hold it, and a folder listed twice would count twice.
    void discover();
    // The DLLs, the last found first (the order the catalogue keeps).
    int count() const { return dllCount; }
    const char* path(int i) const { return dlls[dllCount - 1 - i].path; }
    const WIN32_FIND_DATAA& found(int i) const { return dlls[dllCount - 1 - i].found; }
    const FolderListing& folders() const { return seen; }

    // The walk's visit (context: the listing).
    static int visit(const WIN32_FIND_DATAA* entry, const char* folder, void* context);

private:
    struct Dll {
        char* path;
        WIN32_FIND_DATAA found;
    };
    void keep(const WIN32_FIND_DATAA* entry, const char* folder);
    Dll* dlls = nullptr;
    int dllCount = 0, capacity = 0;
    FolderListing seen;
    bool counting = false;
};
