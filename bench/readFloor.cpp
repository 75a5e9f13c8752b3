// The read floor: the listing, one read of each DLL and the reads a scan
// makes of it, with the plugin's own reader, and one look-up of each plugin
// folder's help file and file_id.diz.
#include "scanFloors.h"

#include "dll/dllFileBytes.h"
#include "dll/peImageFacts.h"
#include "dll/peVersion.h"
#include "runtime/handles.h"
#include "state/pluginFolder.h"

#include <string.h>

long listDlls(const std::string& folder, std::vector<std::string>* dlls) {
    long n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
        ++n;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            n += listDlls(folder + fd.cFileName + "\\", dlls);
        } else {
            const char* dot = strrchr(fd.cFileName, '.');
            if (dot && !_stricmp(dot, ".dll")) dlls->push_back(folder + fd.cFileName);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

int readFloor(const std::string& pluginsRoot) {
    std::vector<std::string> dlls;
    listDlls(pluginsRoot, &dlls);
    char lastFolder[MAX_PATH] = "";
    DllFileBytes file;
    for (const std::string& dll : dlls) {
        file.open(dll.c_str());
        PluginImageFacts facts;
        readPluginImageFacts(file.data(), file.size(), &facts);
        PeImage image;
        const uint8_t* version = nullptr;
        size_t length = 0;
        if (openPeImage(&image, file.data(), file.size()) != PE_NOT_IMAGE) peFileVersion(image, &version, &length);

        // DLLs of one folder come one after another from the listing.
        char folder[MAX_PATH];
        pluginFolderOf(dll.c_str(), folder, true);
        if (!strcmp(folder, lastFolder)) continue;
        strcpy(lastFolder, folder);
        WIN32_FIND_DATAA help;
        HANDLE h = FindFirstFileA((std::string(folder) + "*.hlf").c_str(), &help);
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
        HANDLE diz = CreateFileA((std::string(folder) + "file_id.diz").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (diz != INVALID_HANDLE_VALUE) CloseHandle(diz);
    }
    return static_cast<int>(dlls.size());
}
