#include "common/findEntry.h"
#include "common/winHandles.h"

#include <string.h>

namespace farhost {

void toFarFindData(const WIN32_FIND_DATAA& from, FarFindData& to) {
    memset(&to, 0, sizeof to);
    to.dwFileAttributes = from.dwFileAttributes;
    to.ftCreationTime = from.ftCreationTime;
    to.ftLastAccessTime = from.ftLastAccessTime;
    to.ftLastWriteTime = from.ftLastWriteTime;
    to.nFileSizeHigh = from.nFileSizeHigh;
    to.nFileSizeLow = from.nFileSizeLow;
    to.dwReserved0 = from.dwReserved0;
    to.dwReserved1 = from.dwReserved1;
    static_assert(sizeof to.cFileName == sizeof from.cFileName, "file name room");
    static_assert(sizeof to.cAlternateFileName == sizeof from.cAlternateFileName, "short name room");
    memcpy(to.cFileName, from.cFileName, sizeof to.cFileName);
    memcpy(to.cAlternateFileName, from.cAlternateFileName, sizeof to.cAlternateFileName);
    to.cFileName[sizeof to.cFileName - 1] = 0;
    to.cAlternateFileName[sizeof to.cAlternateFileName - 1] = 0;
}

bool findEntry(const std::string& path, FarFindData& data) {
    memset(&data, 0, sizeof data);
    // A wildcard would find some other file; a trailing backslash finds nothing.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    std::string p = path;
    while (p.size() > 1 && (p.back() == '\\' || p.back() == '/') && p[p.size() - 2] != ':') p.pop_back();
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA(p.c_str(), &fd));
    if (find.h == INVALID_HANDLE_VALUE) return false;
    toFarFindData(fd, data);
    return true;
}

std::vector<FarFindData> listFolder(const std::string& dir) {
    std::vector<FarFindData> out;
    std::string pattern = dir;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA(pattern.c_str(), &fd));
    if (find.h == INVALID_HANDLE_VALUE) return out;
    do {
        if (isDotName(fd.cFileName)) continue;
        FarFindData data;
        toFarFindData(fd, data);
        out.push_back(data);
    } while (FindNextFileA(find.h, &fd));
    return out;
}

}  // namespace farhost
