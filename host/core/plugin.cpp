// One loaded plugin: its exports, its language table and its open panels.
#include "core/host.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "modules/langFile.h"
#include "modules/moduleLiveness.h"

#include <string.h>

namespace farhost {

bool Plugin::loaded() const { return module() && moduleStillLoaded(module(), path_); }

bool Plugin::has(const char* exportName) const {
    Export which = exportByName(exportName);
    return record_ && which != Export::Count && entryOf(record_, which, layout_);
}

FARPROC Plugin::proc(const char* name) {
    Export which = exportByName(name);
    return which == Export::Count ? nullptr : proc(which);
}

FARPROC Plugin::proc(Export which) {
    if (faulted_ || !record_) return nullptr;
    // Known but not loaded, the record's words are flags, not addresses.
    if (record_->workFlags & kWorkCached) return nullptr;
    FARPROC address = entryOf(record_, which, layout_);
    if (!address) return nullptr;   // the host calls nothing where its record holds no address
    if (addressInLoadedModule(reinterpret_cast<const void*>(address), path_.c_str())) return address;
    // The released host calls the address it holds, and crashes there.
    released_ = true;
    faulted_ = true;
    fault_ = std::string("the host would call ") + exportName(which) + " of " + namePart(path_) +
             ", whose module was released";
    // Gone for good: nothing of it is called again, and the module, which
    // someone else may hold by now, is not the host's to free.
    clearPluginRecord(record_, layout_);
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
        host->transcribe("> the host calls nothing of " + path_ + " any more");
    }
}

FARPROC Plugin::enter(Export which) {
    if (faulted_ || !record_ || !entryOf(record_, which, layout_)) return nullptr;
    if (record_->workFlags & kWorkCached) {
        Host* host = Host::current();
        if (!host || !host->prepare(this)) return nullptr;
        if (!entryOf(record_, which, layout_)) {
            // The host calls the entry after loading without testing it again.
            faulted_ = true;
            fault_ = std::string("the host would call ") + exportName(which) + " of " + namePart(path_) +
                     " through a null address: its plugin cache slot says it has that entry point, the DLL does "
                     "not export it";
            host->faults.push_back(fault_);
            host->problem(fault_);
            dropAfterFault();
            return nullptr;
        }
    }
    return proc(which);
}

void Plugin::dropAfterFault() {
    if (!record_ || !record_->module) return;
    // Released only when still ours: one freed behind the host's back is not freed again.
    bool ours = moduleStillLoaded(record_->module, path_);
    if (ours) FreeLibrary(record_->module);
    // As the host drops a plugin: everything but the path goes, and it is
    // never loaded again in this session.
    memset(reinterpret_cast<char*>(record_) + sizeof record_->modulePath, 0,
           layout_.size - sizeof record_->modulePath);
    record_->workFlags = kWorkDontLoadAgain;
    if (Host* host = Host::current())
        host->transcribe("> the host " + std::string(ours ? "releases " : "forgets ") + path_ + " and clears its record");
}

std::string Plugin::commandPrefix() {
    Host* host = Host::current();
    if (known()) {
        if (!host) return std::string();
        int slot = host->cacheSlot(path_, record_->cachePos);
        return slot < 0 ? std::string() : host->slotText(slot, "CommandPrefix");
    }
    PluginInfo info = getPluginInfo();
    return info.CommandPrefix ? boundedText(info.CommandPrefix, kMaxPluginText) : std::string();
}

PluginInfo Plugin::getPluginInfo() {
    PluginInfo info;
    memset(&info, 0, sizeof info);
    if (auto fn = reinterpret_cast<PFN_GetPluginInfo>(proc(Export::GetPluginInfo))) {
        Host* host = Host::current();
        ActivePanelScope scope(host, nullptr);
        if (call("GetPluginInfo", [&] { fn(&info); })) {
            if (host) host->transcribe("> GetPluginInfo: StructSize " + std::to_string(info.StructSize));
        } else {
            memset(&info, 0, sizeof info);
        }
    }
    return info;
}

int Plugin::getMinFarVersion() {
    auto fn = reinterpret_cast<PFN_GetMinFarVersion>(proc(Export::GetMinFarVersion));
    int version = 0;
    if (fn && !call("GetMinFarVersion", [&] { version = fn(); })) version = 0;
    return version;
}

int Plugin::configure(int item) {
    Host* host = Host::current();
    // The host loads a plugin known from the cache first, then looks for Configure.
    if (known() && (!host || !host->prepare(this))) return 0;
    auto fn = reinterpret_cast<PFN_Configure>(proc(Export::Configure));
    if (!fn) return 0;
    int result = 0;
    bool done;
    {
        ActivePanelScope scope(host, nullptr);
        done = call("Configure", [&] { result = fn(item); });
    }
    if (host && done) {
        host->transcribe("> Configure(" + std::to_string(item) + ") = " + std::to_string(result));
        host->checkScreens("after Configure of " + path_);
        // Then the host writes the plugin's cache slot afresh.
        if (host->options().writePluginsCache && module()) host->savePluginSettings(this, getPluginInfo());
    }
    return result;
}

const char* Plugin::message(int id) {
    Host* host = Host::current();
    if (!record_ || !host) return "";
    MessageTable& table = record_->messages;
    if (!table.list) {
        // Read only while the table is empty: a table the record holds is
        // served as it is, whatever the file on disk says now.
        size_t cut = path_.find_last_of('\\');
        std::string folder = cut == std::string::npos ? std::string(".") : path_.substr(0, cut);
        std::string file = chooseLanguageFile(folder, host->options().language);
        std::vector<std::string> texts = loadLanguageMessages(folder, host->options().language);
        std::vector<const char*> pointers;
        for (const std::string& text : texts) pointers.push_back(text.c_str());
        if (file.empty() || !fillMessageTable(record_, file.c_str(), pointers.data(), static_cast<int>(pointers.size())))
            return "";
    }
    if (id >= 0 && id < table.count && table.strings) return table.strings[id];
    // The host's own box, whose second button quits it.
    std::string file = boundedText(record_->languageFile, sizeof record_->languageFile);
    MessageCall box;
    box.pluginNumber = moduleNumber_;
    box.flags = FMSG_WARNING;
    box.lines = {"Error", "Incorrect or damaged " + file, "Message " + std::to_string(id) + " not found", "Ok", "Quit"};
    box.itemsNumber = 5;
    box.buttonsNumber = 2;
    box.buttons = {"Ok", "Quit"};
    box.answer = 0;
    host->messages.push_back(box);
    host->transcribe("Message (the host's): Error | Incorrect or damaged " + file + " | Message " + std::to_string(id) +
                     " not found [Ok] [Quit] -> 0");
    host->problem(namePart(path_) + " asked GetMsg for message " + std::to_string(id) + ", past the " +
                  std::to_string(table.count) + " of its language file's table: the host shows its box about a "
                  "damaged language file");
    return "";
}

}  // namespace farhost
