// Loading plugins the way the host does at start: every DLL in the plugins
// folder and the personal plugins folder, subfolders included.
#include "farHost.h"
#include "common/winHandles.h"

#include "common/hostText.h"

#include <algorithm>

namespace farhost {

namespace {

// Linked folders can make a loop; the host's own walk goes no deeper either.
constexpr int kMaxFolderDepth = 16;

bool hasDllExtension(const std::string& name) {
    return name.size() > 4 && equalNoCase(name.substr(name.size() - 4), ".dll");
}

bool lessNoCase(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }

std::string expanded(const std::string& text) {
    char out[MAX_PATH * 2] = {};
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), out, sizeof out);
    return n > 0 && n <= sizeof out ? std::string(out) : text;
}

}  // namespace

void Host::loadAllPlugins() {
    loadFolder(pluginsDir(), 0);
    if (!options_.personalPluginsPath.empty()) {
        std::string personal = expanded(options_.personalPluginsPath);
        if (personal.back() != '\\' && personal.back() != '/') personal += '\\';
        loadFolder(personal, 0);
    }
    keepsPluginsCache_ = options_.writePluginsCache;
    if (keepsPluginsCache_) writePluginsCache();
}

// DLLs of a folder in name order, then its subfolders in name order, so that
// module numbers do not depend on the order the file system lists them in.
void Host::loadFolder(const std::string& dir, int depth) {
    if (depth > kMaxFolderDepth) return;
    std::vector<std::string> dlls, folders;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((dir + "*").c_str(), &found));
    if (search.h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = boundedText(found.cFileName, sizeof found.cFileName);
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(name);
        else if (hasDllExtension(name)) dlls.push_back(name);
    } while (FindNextFileA(search.h, &found));
    std::sort(dlls.begin(), dlls.end(), lessNoCase);
    std::sort(folders.begin(), folders.end(), lessNoCase);

    for (const std::string& name : dlls) {
        std::string path = dir + name;
        bool leftOut = false;
        for (const std::string& skip : options_.leaveUnloaded) leftOut = leftOut || equalNoCase(skip, name);
        if (leftOut) {
            record("> left unloaded: " + path);
            continue;
        }
        Plugin* known = findPlugin(path);
        if (known && known->module()) continue;
        // load() keeps the cache itself; here it is written once at the end.
        bool keeps = keepsPluginsCache_;
        keepsPluginsCache_ = false;
        Plugin* plugin = load(path);
        keepsPluginsCache_ = keeps;
        if (!plugin) record("> not loaded: " + lastError_);
    }
    for (const std::string& name : folders) loadFolder(dir + name + "\\", depth + 1);
}

}  // namespace farhost
