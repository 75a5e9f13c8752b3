// The Host's transcript of what plugins did and the problems it noted, the
// menus it builds of them, and the panel whose call is running.
#include "core/host.h"

#include "common/hostText.h"

namespace farhost {

std::string Host::pluginsDir() const {
    std::string dir = options_.hostDir;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir + "Plugins\\";
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
    transcribe(line);
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
    transcribe(line);
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
    transcribe(line);
    return items;
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

void Host::clearTranscript() {
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

ActivePanelScope::ActivePanelScope(Host* host, Panel* panel) : host_(host), saved_(host ? host->activePanel_ : nullptr) {
    if (host_) host_->activePanel_ = panel;
}

ActivePanelScope::~ActivePanelScope() {
    if (host_) host_->activePanel_ = saved_;
}

}  // namespace farhost
