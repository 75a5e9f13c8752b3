// Loading plugins the way the host does: at start every record of the array
// the plugin cache does not know; a record known from the cache at the
// plugin's first use; unloading and quitting.
#include "core/host.h"

#include "common/hostText.h"
#include "interface/entryPoints.h"
#include "modules/peImage.h"
#include "modules/heapChecks.h"

#include <string.h>

namespace farhost {

namespace {

std::string folderOf(const std::string& path) {
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
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

bool Host::leftOut(const std::string& path) const {
    for (const std::string& skip : options_.leaveUnloaded)
        if (equalNoCase(skip, namePart(path))) return true;
    return false;
}

void Host::loadAllPlugins() {
    int written = slotsWritten_;
    // DLLs put into the tree since the start join the array at its end.
    for (const std::string& path : treeDlls())
        if (records_.indexOf(path.c_str()) < 0 && !addRecord(path))
            transcribe("> no room in the host's plugin array for " + path);
    for (int i = 0; i < records_.count(); ++i) {
        Plugin* plugin = byIndex_[i];
        const PluginRecord* record = records_.at(i);
        if (record->module || (record->workFlags & (kWorkCached | kWorkDontLoadAgain))) continue;
        if (leftOut(plugin->path_)) {
            this->transcribe("> left unloaded: " + plugin->path_);
            continue;
        }
        if (!load(plugin->path_)) this->transcribe("> not loaded: " + lastError_);
    }
    // As the host does: the slots of DLLs that are gone (a plugin switched
    // off by its DLL's name among them) go only at a start that cached a
    // plugin afresh; otherwise they stay, read by no record.
    if (options_.writePluginsCache && slotsWritten_ > written) removeStaleCacheSlots();
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
    transcribe("Message (the host's): Error | Error loading plugin module | " + plugin->path_ + " [Ok] -> 0");
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
        this->transcribe("> " + plugin->path_ + " is no plugin module any more: the host drops it silently");
        return false;
    }
    fillPluginRecord(record, module, layout);
    if (!holdsExports(record, layout)) {
        FreeLibrary(module);
        clearPluginRecord(record, layout);
        record->workFlags |= kWorkDontLoadAgain;
        this->transcribe("> " + plugin->path_ + " exports no entry point: the host drops it");
        return false;
    }
    checkFreesOf(module);
    this->transcribe("> load " + plugin->path_ + " as plugin " + std::to_string(plugin->moduleNumber_) +
                     " at its first use");
    return startPlugin(plugin);
}

// The object that takes a new load of a DLL: a record at the array's end for
// a DLL without one; the object laid out with the record when it was never
// started; else a new object for the record, so that pointers callers hold to
// the one before stay valid (it keeps its panels and answers as unloaded).
Plugin* Host::pluginForLoad(int index, const char* full) {
    if (index < 0) return addRecord(full);
    if (!byIndex_[index]->info_ && byIndex_[index]->panels_.empty() && !byIndex_[index]->faulted_) {
        Plugin* plugin = byIndex_[index];   // never started: the object laid out with the record serves
        plugin->record_->workFlags = 0;
        return plugin;
    }
    Plugin* before = byIndex_[index];
    std::unique_ptr<Plugin> fresh(new Plugin());
    fresh->path_ = before->path_;
    fresh->moduleNumber_ = index;
    fresh->record_ = before->record_;
    fresh->layout_ = before->layout_;
    before->record_ = nullptr;
    byIndex_[index] = fresh.get();
    plugins_.push_back(std::move(fresh));
    Plugin* plugin = byIndex_[index];
    // Started afresh: nothing of the last start is kept.
    plugin->record_->workFlags = 0;
    dropMessageTable(plugin->record_);
    plugin->record_->languageFile[0] = 0;
    return plugin;
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

    Plugin* plugin = pluginForLoad(index, full);
    if (!plugin) {
        lastError_ = std::string("no room in the host's plugin array for ") + full;
        FreeLibrary(module);
        return nullptr;
    }
    fillPluginRecord(plugin->record_, module, records_.layout());
    transcribe("> load " + plugin->path_ + " as plugin " + std::to_string(plugin->moduleNumber_));
    if (!startPlugin(plugin)) return nullptr;
    // Then the host asks what the plugin offers (its menus, its prefix) and
    // keeps it in the plugin's cache slot.
    PluginInfo info = plugin->getPluginInfo();
    if (options_.writePluginsCache && plugin->module()) savePluginSettings(plugin, info);
    return plugin;
}

bool Host::startPlugin(Plugin* plugin) {
    PluginRecord* record = plugin->record_;
    plugin->exited_ = false;
    if (auto minVersion = reinterpret_cast<PFN_GetMinFarVersion>(plugin->proc(Export::GetMinFarVersion))) {
        DWORD wanted = 0;
        if (!plugin->call("GetMinFarVersion", [&] { wanted = static_cast<DWORD>(minVersion()); })) {
            lastError_ = plugin->fault_ + " in " + plugin->path_;
            return false;
        }
        this->transcribe("> GetMinFarVersion() = " + hexAddress(wanted));
        DWORD have = farVersion();
        if (LOWORD(wanted) > LOWORD(have) || (LOWORD(wanted) == LOWORD(have) && HIWORD(wanted) > HIWORD(have))) {
            lastError_ = plugin->path_ + " needs host version " + std::to_string((wanted >> 8) & 0xFF) + "." +
                         std::to_string(wanted & 0xFF);
            this->transcribe("> " + lastError_ + ": the host does not load it");
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
        this->transcribe("> SetStartupInfo");
    }
    return true;
}

void Host::unload(Plugin* plugin) {
    if (!plugin || !plugin->module()) return;
    closePanels(plugin);
    exitPlugin(plugin);
    checkScreens("at unload of " + plugin->path_);
    if (!plugin->module()) return;   // dropped after a fault meanwhile
    // A module released behind the host's back is not freed again: someone
    // else may hold it by now.
    bool ours = plugin->loaded();
    if (ours) FreeLibrary(plugin->module());
    // The object stays, so pointers held by callers stay valid.
    clearPluginRecord(plugin->record_, records_.layout());
    transcribe(std::string(ours ? "> unload " : "> forget ") + plugin->path_);
}

void Host::end() {
    closePanels();
    // Every plugin ends before any module goes, as at the host's quit.
    for (Plugin* plugin : byIndex_) exitPlugin(plugin);
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
        if ((*it)->module()) unload(it->get());
}

void Host::exitPlugin(Plugin* plugin) {
    if (plugin->exited_) return;
    auto exitFar = reinterpret_cast<PFN_ExitFAR>(plugin->proc(Export::ExitFAR));
    if (!exitFar) return;
    plugin->exited_ = true;
    ActivePanelScope scope(this, nullptr);
    if (plugin->call("ExitFAR", [&] { exitFar(); })) transcribe("> ExitFAR of " + plugin->path_);
}

}  // namespace farhost
