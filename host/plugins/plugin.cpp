// One loaded plugin: its exports, its language table and its open panels.
#include "farHost.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "plugins/langFile.h"
#include "plugins/moduleLiveness.h"

#include <string.h>

namespace farhost {

Plugin::Plugin() : record_(newPluginRecord(nullptr)) {}

Plugin::~Plugin() { freePluginRecord(record_); }

bool Plugin::loaded() const { return module() && moduleStillLoaded(module(), path_); }

bool Plugin::has(const char* exportName) const {
    Export which = exportByName(exportName);
    return record_ && which != Export::Count && record_->exports[static_cast<int>(which)];
}

FARPROC Plugin::proc(const char* name) {
    Export which = exportByName(name);
    return which == Export::Count ? nullptr : proc(which);
}

FARPROC Plugin::proc(Export which) {
    if (faulted_ || !record_) return nullptr;
    FARPROC address = record_->exports[static_cast<int>(which)];
    if (!address) return nullptr;   // the host calls nothing where its record holds no address
    if (addressInLoadedModule(reinterpret_cast<const void*>(address), path_.c_str())) return address;
    // The released host calls the address it holds, and crashes there.
    released_ = true;
    faulted_ = true;
    fault_ = std::string("the host would call ") + exportName(which) + " of " + namePart(path_) +
             ", whose module was released";
    // Gone for good: nothing of it is called again, and the module, which
    // someone else may hold by now, is not the host's to free.
    clearPluginRecord(record_);
    if (Host* host = Host::current()) {
        host->faults.push_back(fault_);
        host->problem(fault_);
    }
    return nullptr;
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

void Plugin::dropAfterFault() {
    if (!record_ || !record_->module) return;
    // Released only when still ours: one freed behind the host's back is not freed again.
    bool ours = moduleStillLoaded(record_->module, path_);
    if (ours) FreeLibrary(record_->module);
    clearPluginRecord(record_);
    if (Host* host = Host::current())
        host->record("> the host " + std::string(ours ? "releases " : "forgets ") + path_ + " and clears its record");
}

PluginInfo Plugin::getPluginInfo() {
    PluginInfo info;
    memset(&info, 0, sizeof info);
    if (auto fn = reinterpret_cast<PFN_GetPluginInfo>(proc(Export::GetPluginInfo))) {
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
    // Asked once at load, before the record is filled: straight from the module.
    HMODULE module = this->module();
    auto fn = module && !faulted_ ? reinterpret_cast<PFN_GetMinFarVersion>(GetProcAddress(module, "GetMinFarVersion"))
                                  : nullptr;
    int version = 0;
    if (fn && !call("GetMinFarVersion", [&] { version = fn(); })) version = 0;
    return version;
}

int Plugin::configure(int item) {
    auto fn = reinterpret_cast<PFN_Configure>(proc(Export::Configure));
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
    auto fn = reinterpret_cast<PFN_OpenPlugin>(proc(Export::OpenPlugin));
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
    if (!readNow) return panel;
    // What the panel is first, then its items, then it is drawn.
    panel->refreshInfo();
    if (!panel->read()) host->record("> the first listing failed: the host would close this panel");
    panel->redraw();
    panel->offerIdleKey();
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
