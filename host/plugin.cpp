// One loaded plugin: its exports, its language table and its open panels.
#include "farHost.h"

#include "faultReport.h"
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

FARPROC Plugin::proc(const char* name) {
    return !faulted_ && callable() ? GetProcAddress(module_, name) : nullptr;
}

void Plugin::noteFault(const char* exportName, const FaultInfo& fault) {
    faulted_ = true;
    fault_ = describeFault(exportName, fault);
    if (Host* host = Host::current()) {
        host->faults.push_back(fault_);
        host->problem(fault_);
        host->record("> the host calls nothing of " + path_ + " any more");
    }
}

PluginInfo Plugin::getPluginInfo() {
    PluginInfo info;
    memset(&info, 0, sizeof info);
    if (auto fn = reinterpret_cast<PFN_GetPluginInfo>(proc("GetPluginInfo"))) {
        Host* host = Host::current();
        ActivePanelScope scope(host, nullptr);
        if (call("GetPluginInfo", [&] { fn(&info); })) {
            if (host) host->record("> GetPluginInfo: StructSize " + std::to_string(info.StructSize));
        } else {
            memset(&info, 0, sizeof info);
        }
    }
    return info;
}

int Plugin::getMinFarVersion() {
    auto fn = reinterpret_cast<PFN_GetMinFarVersion>(proc("GetMinFarVersion"));
    int version = 0;
    if (fn && !call("GetMinFarVersion", [&] { version = fn(); })) version = 0;
    return version;
}

int Plugin::configure(int item) {
    auto fn = reinterpret_cast<PFN_Configure>(proc("Configure"));
    if (!fn) return 0;
    Host* host = Host::current();
    int result = 0;
    bool done;
    {
        ActivePanelScope scope(host, nullptr);
        done = call("Configure", [&] { result = fn(item); });
    }
    if (host && done) {
        host->record("> Configure(" + std::to_string(item) + ") = " + std::to_string(result));
        host->checkScreens("after Configure of " + path_);
    }
    return result;
}

Panel* Plugin::open(int openFrom, int item, bool readNow) {
    auto fn = reinterpret_cast<PFN_OpenPlugin>(proc("OpenPlugin"));
    Host* host = Host::current();
    if (!fn || !host) return nullptr;
    // Panels closed earlier go now; a closed panel stays readable until then.
    for (size_t i = 0; i < panels_.size();)
        if (panels_[i]->closed_) panels_.erase(panels_.begin() + i);
        else ++i;
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        ActivePanelScope scope(host, nullptr);
        if (!call("OpenPlugin", [&] { handle = fn(openFrom, item); })) return nullptr;
    }
    host->record("> OpenPlugin(" + std::to_string(openFrom) + ", " + std::to_string(item) + ") = " +
                 hexAddress(reinterpret_cast<ULONG_PTR>(handle)));
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
