// The host's array of plugin records, laid out at start for every DLL of
// the plugins folder and the personal plugins folder (subfolders included),
// in the order of the DLLs' file names, with room at its end for plugins
// loaded from elsewhere later.
#include "core/host.h"
#include "common/winHandles.h"

#include "common/hostText.h"

#include <algorithm>

namespace farhost {

namespace {

// Linked folders can make a loop; the host's own walk goes no deeper either.
constexpr int kMaxFolderDepth = 16;
// Room in the array for plugins loaded from outside the tree after start.
constexpr int kSpareRecords = 64;

bool hasDllExtension(const std::string& name) {
    return name.size() > 4 && equalNoCase(name.substr(name.size() - 4), ".dll");
}

std::string expanded(const std::string& text) {
    char out[MAX_PATH * 2] = {};
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), out, sizeof out);
    return n > 0 && n <= sizeof out ? std::string(out) : text;
}

// The host sorts its plugins by file name alone (any case); the full path
// only settles ties, so that the order does not depend on the file system.
bool hostOrder(const std::string& a, const std::string& b) {
    int byName = lstrcmpiA(namePart(a).c_str(), namePart(b).c_str());
    return byName != 0 ? byName < 0 : lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

// The folder as the file system spells it, as the host takes its plugins
// folders (the letter case of each existing part from the disk).
std::string diskSpelling(const std::string& folder) {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return folder;
    std::string path(full);
    std::vector<std::string> parts = splitText(path, '\\');
    if (parts.size() < 2 || parts[0].size() != 2 || parts[0][1] != ':') return folder;
    std::string out = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].empty()) continue;
        std::string next = out + "\\" + parts[i];
        WIN32_FIND_DATAA found;
        HANDLE search = parts[i].find_first_of("*?") == std::string::npos ? FindFirstFileA(next.c_str(), &found)
                                                                          : INVALID_HANDLE_VALUE;
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            next = out + "\\" + boundedText(found.cFileName, sizeof found.cFileName);
        }
        out = next;
    }
    if (!path.empty() && path.back() == '\\') out += '\\';
    return out;
}

}  // namespace

void Host::findDlls(const std::string& dir, int depth, std::vector<std::string>& dlls) {
    if (depth > kMaxFolderDepth) return;
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((dir + "*").c_str(), &found));
    if (search.h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = boundedText(found.cFileName, sizeof found.cFileName);
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(name);
        else if (hasDllExtension(name)) dlls.push_back(dir + name);
    } while (FindNextFileA(search.h, &found));
    for (const std::string& name : folders) findDlls(dir + name + "\\", depth + 1, dlls);
}

std::vector<std::string> Host::treeDlls() {
    std::vector<std::string> dlls;
    if (!options_.hostDir.empty()) findDlls(diskSpelling(pluginsDir()), 0, dlls);
    if (!options_.personalPluginsPath.empty()) {
        std::string personal = expanded(options_.personalPluginsPath);
        if (personal.back() != '\\' && personal.back() != '/') personal += '\\';
        findDlls(diskSpelling(personal), 0, dlls);
    }
    for (std::string& path : dlls) {
        char full[MAX_PATH] = {};
        DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
        if (n > 0 && n < sizeof full) path = full;
    }
    std::sort(dlls.begin(), dlls.end(), hostOrder);
    dlls.erase(std::unique(dlls.begin(), dlls.end(), [](const std::string& a, const std::string& b) {
                   return equalNoCase(a, b);
               }),
               dlls.end());
    return dlls;
}

void Host::layOutRecords() {
    std::vector<std::string> dlls = treeDlls();
    if (!records_.layOut(static_cast<int>(dlls.size()) + kSpareRecords, recordLayout(options_.far175))) {
        problem("no memory for the host's plugin records");
        return;
    }
    for (const std::string& path : dlls) addRecord(path);
    applyPluginsCache();
}

Plugin* Host::addRecord(const std::string& path) {
    PluginRecord* record = records_.append(path.c_str());
    if (!record) return nullptr;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        record->findData = found;
        FindClose(search);
    }
    std::unique_ptr<Plugin> plugin(new Plugin());
    plugin->path_ = path;
    plugin->moduleNumber_ = records_.count() - 1;
    plugin->record_ = record;
    plugin->layout_ = records_.layout();
    byIndex_.push_back(plugin.get());
    plugins_.push_back(std::move(plugin));
    return plugins_.back().get();
}

}  // namespace farhost
