// Loading plugins the way the host does: the array of records laid out at
// start for every DLL of the plugins folder and the personal plugins folder
// (subfolders included), in the order of the DLLs' file names; the records the
// plugin cache knows left unloaded; the others loaded; and a record known from
// the cache loaded at the plugin's first use.
#include "core/host.h"
#include "common/winHandles.h"

#include "common/hostText.h"
#include "interface/entryPoints.h"
#include "plugins/peImage.h"
#include "plugins/heapChecks.h"

#include <string.h>

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

std::string folderOf(const std::string& path) {
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
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

std::string windowsError(DWORD code) {
    char text[256] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return "error " + std::to_string(code) + (s.empty() ? std::string() : " (" + s + ")");
}

// What the export table says about the plugin interface: the entry points
// the host finds, and those it cannot find because their names are decorated.
struct EntryPointCheck {
    int found = 0;
    std::vector<std::string> decorated;   // "ClosePlugin@4"
};

EntryPointCheck checkEntryPoints(HMODULE module) {
    EntryPointCheck check;
    std::vector<std::string> names = exportNames(module);
    for (const char* entry : kEntryPoints)
        for (const std::string& name : names) {
            if (name == entry) ++check.found;
            else if (undecoratedName(name) == entry) check.decorated.push_back(name);
        }
    return check;
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

bool Host::leftOut(const std::string& path) const {
    for (const std::string& skip : options_.leaveUnloaded)
        if (equalNoCase(skip, namePart(path))) return true;
    return false;
}

void Host::loadAllPlugins() {
    // DLLs put into the tree since the start join the array at its end.
    for (const std::string& path : treeDlls())
        if (records_.indexOf(path.c_str()) < 0 && !addRecord(path))
            record("> no room in the host's plugin array for " + path);
    for (int i = 0; i < records_.count(); ++i) {
        Plugin* plugin = byIndex_[i];
        const PluginRecord* record = records_.at(i);
        if (record->module || (record->workFlags & (kWorkCached | kWorkDontLoadAgain))) continue;
        if (leftOut(plugin->path_)) {
            this->record("> left unloaded: " + plugin->path_);
            continue;
        }
        if (!load(plugin->path_)) this->record("> not loaded: " + lastError_);
    }
    if (options_.writePluginsCache) removeStaleCacheSlots();
}

void Host::loadError(Plugin* plugin) {
    MessageCall box;
    box.pluginNumber = plugin->moduleNumber_;
    box.flags = FMSG_WARNING;
    box.lines = {"Error", "Error loading plugin module", plugin->path_, "Ok"};
    box.itemsNumber = 4;
    box.buttonsNumber = 1;
    box.buttons = {"Ok"};
    box.answer = 0;
    messages.push_back(box);
    record("Message (the host's): Error | Error loading plugin module | " + plugin->path_ + " [Ok] -> 0");
}

bool Host::prepare(Plugin* plugin) {
    PluginRecord* record = plugin->record_;
    if (!record || (record->workFlags & kWorkDontLoadAgain)) return false;
    if (!(record->workFlags & kWorkCached)) return record->module != nullptr;
    // Loaded from its own folder, as the host does.
    char saved[MAX_PATH] = {};
    DWORD savedLength = GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(folderOf(plugin->path_).c_str());
    HMODULE module = LoadLibraryExA(record->modulePath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    DWORD error = module ? 0 : GetLastError();
    if (savedLength > 0 && savedLength < sizeof saved) SetCurrentDirectoryA(saved);
    const RecordLayout& layout = records_.layout();
    if (!module && error != ERROR_BAD_EXE_FORMAT && error != ERROR_PROC_NOT_FOUND) {
        // The entry stays where it was; the host tries no more.
        loadError(plugin);
        record->workFlags |= kWorkDontLoadAgain;
        return false;
    }
    if (!module) {
        // Not a DLL at all: the host finds no entry point and the plugin goes silently.
        record->workFlags = (record->workFlags & ~kWorkCached) | kWorkDontLoadAgain;
        clearPluginRecord(record, layout);
        this->record("> " + plugin->path_ + " is no plugin module any more: the host drops it silently");
        return false;
    }
    fillPluginRecord(record, module, layout);
    if (!holdsExports(record, layout)) {
        FreeLibrary(module);
        clearPluginRecord(record, layout);
        record->workFlags |= kWorkDontLoadAgain;
        this->record("> " + plugin->path_ + " exports no entry point: the host drops it");
        return false;
    }
    checkFreesOf(module);
    this->record("> load " + plugin->path_ + " as plugin " + std::to_string(plugin->moduleNumber_) +
                 " at its first use");
    return startPlugin(plugin);
}

Plugin* Host::load(const std::string& dllPath) {
    lastError_.clear();
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(dllPath.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) {
        lastError_ = "bad plugin path: " + dllPath;
        return nullptr;
    }
    int index = records_.indexOf(full);
    if (index >= 0) {
        Plugin* held = byIndex_[index];
        if (held->module()) return held;
        // Known from the cache: loaded as at its first use.
        if (held->known()) {
            if (prepare(held)) return held;
            if (lastError_.empty()) lastError_ = std::string("cannot load ") + full;
            return nullptr;
        }
    }
    if (GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES) {
        lastError_ = std::string("no such file: ") + full;
        return nullptr;
    }
    if (index < 0 && records_.count() >= records_.capacity()) {
        lastError_ = std::string("no room in the host's plugin array for ") + full;
        return nullptr;
    }
    HMODULE module = LoadLibraryExA(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        lastError_ = std::string("cannot load ") + full + ": " + windowsError(GetLastError());
        return nullptr;
    }
    EntryPointCheck entries = checkEntryPoints(module);
    if (!entries.decorated.empty()) {
        std::string list;
        for (size_t i = 0; i < entries.decorated.size() && i < 4; ++i) list += (i ? ", " : "") + entries.decorated[i];
        if (entries.decorated.size() > 4) list += ", ...";
        problem(std::string(full) + " exports decorated names (" + list +
                "): the host looks for undecorated ones and finds none of these; link with -Wl,--kill-at, or "
                "name them in a .def file (SetStartupInfo=SetStartupInfo@4)");
    }
    if (entries.found == 0) {
        lastError_ = std::string(full) + " has no entry point of the plugin interface 1.70" +
                     (entries.decorated.empty() ? std::string() : " under an undecorated name");
        FreeLibrary(module);
        return nullptr;
    }
    checkFreesOf(module);

    Plugin* plugin = nullptr;
    if (index < 0) {
        plugin = addRecord(full);
    } else if (!byIndex_[index]->info_ && byIndex_[index]->panels_.empty() && !byIndex_[index]->faulted_) {
        plugin = byIndex_[index];   // never started: the object laid out with the record serves
        plugin->record_->workFlags = 0;
    } else {
        // A new object for the record; the one before keeps its panels and
        // answers as unloaded, so pointers held by callers stay valid.
        Plugin* before = byIndex_[index];
        std::unique_ptr<Plugin> fresh(new Plugin());
        fresh->path_ = before->path_;
        fresh->moduleNumber_ = index;
        fresh->record_ = before->record_;
        fresh->layout_ = before->layout_;
        before->record_ = nullptr;
        byIndex_[index] = fresh.get();
        plugins_.push_back(std::move(fresh));
        plugin = byIndex_[index];
        // Started afresh: nothing of the last start is kept.
        plugin->record_->workFlags = 0;
        dropMessageTable(plugin->record_);
        plugin->record_->languageFile[0] = 0;
    }
    if (!plugin) {
        lastError_ = std::string("no room in the host's plugin array for ") + full;
        FreeLibrary(module);
        return nullptr;
    }
    fillPluginRecord(plugin->record_, module, records_.layout());
    record("> load " + plugin->path_ + " as plugin " + std::to_string(plugin->moduleNumber_));
    if (!startPlugin(plugin)) return nullptr;
    // Then the host asks what the plugin offers (its menus, its prefix) and
    // keeps it in the plugin's cache slot.
    PluginInfo info = plugin->getPluginInfo();
    if (options_.writePluginsCache && plugin->module()) savePluginSettings(plugin, info);
    return plugin;
}

bool Host::startPlugin(Plugin* plugin) {
    PluginRecord* record = plugin->record_;
    if (auto minVersion = reinterpret_cast<PFN_GetMinFarVersion>(plugin->proc(Export::GetMinFarVersion))) {
        DWORD wanted = 0;
        if (!plugin->call("GetMinFarVersion", [&] { wanted = static_cast<DWORD>(minVersion()); })) {
            lastError_ = plugin->fault_ + " in " + plugin->path_;
            return false;
        }
        this->record("> GetMinFarVersion() = " + hexAddress(wanted));
        DWORD have = farVersion();
        if (LOWORD(wanted) > LOWORD(have) || (LOWORD(wanted) == LOWORD(have) && HIWORD(wanted) > HIWORD(have))) {
            lastError_ = plugin->path_ + " needs host version " + std::to_string((wanted >> 8) & 0xFF) + "." +
                         std::to_string(wanted & 0xFF);
            this->record("> " + lastError_ + ": the host does not load it");
            FreeLibrary(record->module);
            memset(reinterpret_cast<char*>(record) + sizeof record->modulePath, 0,
                   records_.layout().size - sizeof record->modulePath);
            record->workFlags = kWorkDontLoadAgain;
            return false;
        }
    }
    plugin->info_.reset(new PluginStartupInfo(lent_));
    PluginStartupInfo& info = *plugin->info_;
    info.StructSize = sizeof(PluginStartupInfo);
    copyBounded(info.ModuleName, sizeof info.ModuleName, plugin->path_);
    info.ModuleNumber = plugin->moduleNumber_;
    // The plugin's RootKey is the host's copy in its record.
    copyBounded(record->rootKey, sizeof record->rootKey, options_.rootKey);
    info.RootKey = record->rootKey;
    if (auto setStartupInfo = reinterpret_cast<PFN_SetStartupInfo>(plugin->proc(Export::SetStartupInfo))) {
        ActivePanelScope scope(this, nullptr);
        // The host survives a plugin that faults at start: it releases it
        // and clears its record.
        if (!plugin->call("SetStartupInfo", [&] { setStartupInfo(&info); })) {
            lastError_ = plugin->fault_ + " in " + plugin->path_;
            return false;
        }
        this->record("> SetStartupInfo");
    }
    return true;
}

void Host::unload(Plugin* plugin) {
    if (!plugin || !plugin->module()) return;
    for (auto& panel : plugin->panels_)
        if (!panel->closed_) panel->close();
    checkScreens("at unload of " + plugin->path_);
    if (!plugin->module()) return;   // dropped after a fault meanwhile
    // A module released behind the host's back is not freed again: someone
    // else may hold it by now.
    bool ours = plugin->loaded();
    if (ours) FreeLibrary(plugin->module());
    // The object stays, so pointers held by callers stay valid.
    clearPluginRecord(plugin->record_, records_.layout());
    record(std::string(ours ? "> unload " : "> forget ") + plugin->path_);
}

bool Host::quit() {
    std::vector<Panel*> open = openPanels();
    // Closing the question redraws the panels.
    for (Panel* panel : open) panel->redraw();
    for (Panel* panel : open)
        if (int refused = panel->event(FE_CLOSE)) {
            record("> ProcessEvent(FE_CLOSE) = " + std::to_string(refused) + ": the panel stays open, the host runs on");
            panel->offerIdleKey();
            return false;
        }
    for (Panel* panel : open) panel->close();
    for (Plugin* plugin : byIndex_) {
        auto exitFar = reinterpret_cast<PFN_ExitFAR>(plugin->proc(Export::ExitFAR));
        if (!exitFar) continue;
        ActivePanelScope scope(this, nullptr);
        if (plugin->call("ExitFAR", [&] { exitFar(); })) record("> ExitFAR of " + plugin->path_);
    }
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
        if ((*it)->module()) unload(it->get());
    return true;
}
}  // namespace farhost
