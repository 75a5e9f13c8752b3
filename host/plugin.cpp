// One loaded plugin: its exports, its language table and its open panels.
#include "farHost.h"

#include "hostText.h"
#include "langFile.h"
#include "moduleLiveness.h"

#include <string.h>

namespace farhost {

bool Plugin::loaded() const { return module_ && moduleStillLoaded(module_, path_); }

bool Plugin::callable() {
    if (!module_) return false;
    if (moduleStillLoaded(module_, path_)) return true;
    module_ = nullptr;   // the object stays: callers and panels still point at it
    released_ = true;
    if (Host* host = Host::current())
        host->problem("the module of " + path_ +
                      " was released by another plugin: the host calls nothing of it any more");
    return false;
}

bool Plugin::has(const char* exportName) const { return loaded() && GetProcAddress(module_, exportName); }

FARPROC Plugin::proc(const char* name) { return callable() ? GetProcAddress(module_, name) : nullptr; }

PluginInfo Plugin::getPluginInfo() {
    PluginInfo info;
    memset(&info, 0, sizeof info);
    if (auto fn = reinterpret_cast<PFN_GetPluginInfo>(proc("GetPluginInfo"))) {
        ActivePanelScope scope(Host::current(), nullptr);
        fn(&info);
    }
    return info;
}

int Plugin::getMinFarVersion() {
    auto fn = reinterpret_cast<PFN_GetMinFarVersion>(proc("GetMinFarVersion"));
    return fn ? fn() : 0;
}

int Plugin::configure(int item) {
    auto fn = reinterpret_cast<PFN_Configure>(proc("Configure"));
    if (!fn) return 0;
    Host* host = Host::current();
    int result;
    {
        ActivePanelScope scope(host, nullptr);
        result = fn(item);
    }
    if (host) {
        host->record("> Configure(" + std::to_string(item) + ") = " + std::to_string(result));
        host->checkScreens("after Configure of " + path_);
    }
    return result;
}

Panel* Plugin::open(int openFrom, int item, bool readNow) {
    auto fn = reinterpret_cast<PFN_OpenPlugin>(proc("OpenPlugin"));
    Host* host = Host::current();
    if (!fn || !host) return nullptr;
    HANDLE handle;
    {
        ActivePanelScope scope(host, nullptr);
        handle = fn(openFrom, item);
    }
    host->record("> OpenPlugin(" + std::to_string(openFrom) + ", " + std::to_string(item) + ") = " +
                 std::to_string(reinterpret_cast<intptr_t>(handle)));
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    panels_.push_back(std::unique_ptr<Panel>(new Panel(host, this, handle)));
    Panel* panel = panels_.back().get();
    if (readNow && !panel->read()) host->record("> the first listing failed: the host would close this panel");
    return panel;
}

const char* Plugin::message(int id) {
    Host* host = Host::current();
    std::string language = host ? host->options().language : std::string("English");
    auto it = messageTables_.find(language);
    if (it == messageTables_.end()) {
        size_t cut = path_.find_last_of('\\');
        std::string folder = cut == std::string::npos ? std::string(".") : path_.substr(0, cut);
        it = messageTables_.emplace(language, loadLanguageMessages(folder, language)).first;
    }
    if (id < 0 || id >= static_cast<int>(it->second.size())) return nullptr;
    return it->second[id].c_str();
}

}  // namespace farhost
