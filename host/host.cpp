// The host itself: plugin loading, the registry root it lends to plugins,
// and the records of what the plugins did.
#include "farHost.h"
#include "common/winHandles.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "faults/heapChecks.h"
#include "interface/entryPoints.h"
#include "plugins/peImage.h"
#include "plugins/pluginRecord.h"
#include "services/services.h"

#include <stdio.h>
#include <string.h>

#include <shlwapi.h>

namespace farhost {

namespace {

// Live hosts, newest last: the newest is the one plugins talk to.
std::vector<Host*> g_hosts;

bool createKey(const std::string& path, bool* existed = nullptr) {
    RegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h,
                        &disposition) != ERROR_SUCCESS)
        return false;
    if (existed) *existed = disposition == REG_OPENED_EXISTING_KEY;
    return true;
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

std::string hexText(DWORD value) {
    char hex[16];
    snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(value));
    return hex;
}

}  // namespace

Host::Host(HostOptions options) : options_(std::move(options)) {
    Services::fillStandardFunctions(fsf_);
    if (options_.rootKey.empty()) {
        // A fresh base per host, so that tests sharing one Wine registry never meet.
        static LONG counter = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string base = "Software\\VantorelTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(InterlockedIncrement(&counter));
            bool existed = false;
            if (!createKey(base, &existed)) break;
            if (existed) continue;
            registryBase_ = base;
            options_.rootKey = base + "\\Far\\Plugins";
            break;
        }
        if (options_.rootKey.empty()) options_.rootKey = "Software\\VantorelTests\\unnamed\\Far\\Plugins";
    }
    createKey(options_.rootKey);
    if (options_.writePersonalPath) {
        size_t cut = options_.rootKey.find_last_of('\\');
        std::string systemKey = cut == std::string::npos ? "System" : options_.rootKey.substr(0, cut) + "\\System";
        RegKey key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, systemKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.h,
                            nullptr) == ERROR_SUCCESS) {
            const std::string& value = options_.personalPluginsPath;
            RegSetValueExA(key.h, "PersonalPluginsPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        } else {
            problem("cannot write PersonalPluginsPath under HKCU\\" + systemKey);
        }
    }
    g_hosts.push_back(this);
    layOutRecords();
    if (options_.loadAll) loadAllPlugins();
}

Host::~Host() {
    // The host quits as it does when asked; a panel that refuses to close
    // goes all the same, as when the process ends.
    quit();
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
        if ((*it)->module()) unload(it->get());
    removeRegistry();
    for (auto it = g_hosts.begin(); it != g_hosts.end(); ++it)
        if (*it == this) {
            g_hosts.erase(it);
            break;
        }
}

void Host::removeRegistry() {
    if (options_.removeRegistryOnExit && wrotePluginsCache_) removePluginsCache();
    if (options_.removeRegistryOnExit && !registryBase_.empty())
        SHDeleteKeyA(HKEY_CURRENT_USER, registryBase_.c_str());
}

Host* Host::current() { return g_hosts.empty() ? nullptr : g_hosts.back(); }

std::string Host::pluginsDir() const {
    std::string dir = options_.hostDir;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir + "Plugins\\";
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
        this->record("> GetMinFarVersion() = " + hexText(wanted));
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
    plugin->info_.reset(new PluginStartupInfo());
    PluginStartupInfo& info = *plugin->info_;
    info.StructSize = sizeof(PluginStartupInfo);
    copyBounded(info.ModuleName, sizeof info.ModuleName, plugin->path_);
    info.ModuleNumber = plugin->moduleNumber_;
    // The plugin's RootKey is the host's copy in its record.
    copyBounded(record->rootKey, sizeof record->rootKey, options_.rootKey);
    info.RootKey = record->rootKey;
    Services::fillStartupInfo(info, &fsf_);
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

void Host::idle() {
    for (Panel* panel : openPanels()) panel->event(FE_IDLE);
}

namespace {

std::vector<std::string> menuStrings(const char* const* strings, int count) {
    std::vector<std::string> items;
    if (!strings || count <= 0) return items;
    for (int i = 0; i < count && i < 64; ++i)
        if (strings[i]) items.push_back(boundedText(strings[i], kMaxPluginText));
    return items;
}

}  // namespace

std::vector<std::string> Host::pluginsMenu(std::vector<Plugin*>* owners) {
    loadIfCacheAbsent();
    std::vector<std::string> items;
    for (Plugin* plugin : byIndex_) {
        std::vector<std::string> own;
        if (plugin->known()) {
            own = cachedItems(plugin, "PluginMenuString");
        } else {
            if (!plugin->has("GetPluginInfo")) continue;
            PluginInfo info = plugin->getPluginInfo();
            own = menuStrings(info.PluginMenuStrings, info.PluginMenuStringsNumber);
        }
        for (const std::string& item : own) {
            items.push_back(item);
            if (owners) owners->push_back(plugin);
        }
    }
    std::string line = "Menu (the host's): \"Plugin commands\"";
    for (const std::string& item : items) line += " [" + item + "]";
    record(line);
    return items;
}

std::vector<std::string> Host::diskMenu(std::vector<Plugin*>* owners) {
    loadIfCacheAbsent();
    std::vector<std::string> items;
    for (int pass = 0; pass < 2; ++pass) {
        // The host asks twice as it builds the menu; the last answers count.
        items.clear();
        if (owners) owners->clear();
        for (Plugin* plugin : byIndex_) {
            std::vector<std::string> own;
            if (plugin->known()) {
                own = cachedItems(plugin, "DiskMenuString");
            } else {
                if (!plugin->has("GetPluginInfo")) continue;
                PluginInfo info = plugin->getPluginInfo();
                own = menuStrings(info.DiskMenuStrings, info.DiskMenuStringsNumber);
            }
            for (const std::string& item : own) {
                items.push_back(item);
                if (owners) owners->push_back(plugin);
            }
        }
    }
    std::string line = "Menu (the host's): \"Drive\"";
    for (const std::string& item : items) line += " [" + item + "]";
    record(line);
    return items;
}

std::vector<std::string> Host::configMenu(std::vector<Plugin*>* owners) {
    loadIfCacheAbsent();
    std::vector<std::string> items;
    for (Plugin* plugin : byIndex_) {
        std::vector<std::string> own;
        if (plugin->known()) {
            own = cachedItems(plugin, "PluginConfigString");
        } else {
            if (!plugin->has("GetPluginInfo")) continue;
            PluginInfo info = plugin->getPluginInfo();
            own = menuStrings(info.PluginConfigStrings, info.PluginConfigStringsNumber);
        }
        for (const std::string& item : own) {
            items.push_back(item);
            if (owners) owners->push_back(plugin);
        }
    }
    std::string line = "Menu (the host's): \"Plugins configuration\"";
    for (const std::string& item : items) line += " [" + item + "]";
    record(line);
    return items;
}

Panel* Host::openOtherPanel(Plugin* plugin) {
    if (!plugin) return nullptr;
    diskMenu();
    Panel* panel = plugin->open(OPEN_DISKMENU, 0, false);
    if (!panel) return nullptr;
    panel->otherHalf_ = true;
    panel->refreshInfo();
    if (!panel->read()) record("> the first listing failed: the host would close this panel");
    panel->redraw();
    return panel;
}

Panel* Host::otherHalf() const {
    for (Panel* panel : openPanels())
        if (panel->otherHalf_) return panel;
    return nullptr;
}

std::vector<Panel*> Host::openPanels() const {
    std::vector<Panel*> open;
    for (const auto& plugin : plugins_)
        for (const auto& panel : plugin->panels_)
            if (!panel->closed_) open.push_back(panel.get());
    return open;
}

void Host::answerMessages(std::initializer_list<int> answers) {
    for (int a : answers) messageAnswers_.push_back(a);
}

Plugin* Host::findPlugin(const std::string& dllFileNameOrPath) {
    bool byPath = dllFileNameOrPath.find_first_of("\\/:") != std::string::npos;
    std::string wanted = dllFileNameOrPath;
    if (byPath) {
        char full[MAX_PATH] = {};
        DWORD n = GetFullPathNameA(dllFileNameOrPath.c_str(), sizeof full, full, nullptr);
        if (n > 0 && n < sizeof full) wanted = full;
    }
    // The one holding the record first, loaded or not; else the latest.
    Plugin* found = nullptr;
    auto rank = [](const Plugin* p) { return p->record_ ? (p->module() ? 2 : 1) : 0; };
    for (auto& p : plugins_) {
        if (!equalNoCase(byPath ? p->path_ : namePart(p->path_), wanted)) continue;
        if (!found || rank(p.get()) >= rank(found)) found = p.get();
    }
    return found;
}

std::vector<Plugin*> Host::plugins() const {
    std::vector<Plugin*> all;
    for (const auto& p : plugins_) all.push_back(p.get());
    return all;
}

void Host::checkScreens(const std::string& when) {
    int fresh = 0;
    for (const auto& s : screens_) {
        if (!s.second) continue;
        bool known = false;
        for (HANDLE h : reportedScreens_) known = known || h == s.first;
        if (known) continue;
        reportedScreens_.push_back(s.first);
        ++fresh;
    }
    if (fresh > 0) problem(when + ": " + std::to_string(fresh) + " saved screen(s) never restored");
}

int Host::unrestoredScreens() const {
    int n = 0;
    for (const auto& s : screens_)
        if (s.second) ++n;
    return n;
}

const MessageCall* Host::boxOnScreen() const {
    if (onScreenBox_ < 0 || onScreenBox_ >= static_cast<int>(messages.size())) return nullptr;
    return &messages[onScreenBox_];
}

void Host::clearRecords() {
    messages.clear();
    dialogs.clear();
    helps.clear();
    menus.clear();
    transcript.clear();
    problems.clear();
    faults.clear();
    notEmulated_ = 0;
    notEmulatedNames_.clear();
    onScreenBox_ = -1;
}

void Host::notEmulated(const std::string& service) {
    for (const std::string& known : notEmulatedNames_)
        if (known == service) return;
    notEmulatedNames_.push_back(service);
    ++notEmulated_;
    problem("plugin called " + service + ", which is not emulated");
}

void Host::problem(const std::string& text) {
    problems.push_back(text);
    transcript.push_back("PROBLEM: " + text);
}

Panel* Host::findPanel(HANDLE handle) {
    if (activePanel_ && !activePanel_->closed_ && (activePanel_->handle_ == handle || handle == INVALID_HANDLE_VALUE))
        return activePanel_;
    Panel* found = nullptr;
    for (auto& plugin : plugins_)
        for (auto& panel : plugin->panels_)
            if (!panel->closed_ && (panel->handle_ == handle || handle == INVALID_HANDLE_VALUE)) found = panel.get();
    return found;   // the latest opened when several match
}

Panel* Host::otherPanel(Panel* panel) {
    // A panel in the other half; else (two panels opened in one half, as
    // tests do) the latest other one.
    Panel* sameHalf = nullptr;
    Panel* otherHalf = nullptr;
    for (Panel* p : openPanels()) {
        if (p == panel) continue;
        if (panel && p->otherHalf_ != panel->otherHalf_) otherHalf = p;
        else sameHalf = p;
    }
    return otherHalf ? otherHalf : sameHalf;
}

ActivePanelScope::ActivePanelScope(Host* host, Panel* panel) : host_(host), saved_(host ? host->activePanel_ : nullptr) {
    if (host_) host_->activePanel_ = panel;
}

ActivePanelScope::~ActivePanelScope() {
    if (host_) host_->activePanel_ = saved_;
}

}  // namespace farhost
