// A plugin as the host holds it: its record in the host's array, the calls
// into it with their faults contained, its panels.
#pragma once

#include "faults/faultGuard.h"
#include "interface/farApi.h"
#include "modules/pluginRecord.h"

#include <memory>
#include <string>
#include <vector>

namespace farhost {

class Host;
class Panel;   // panels/: a plugin's panels are opened and kept there

class Plugin {
public:
    // The handle the host's record holds; null once the record was cleared.
    HMODULE module() const { return record_ ? record_->module : nullptr; }
    const std::string& path() const { return path_; }
    int moduleNumber() const { return moduleNumber_; }
    const PluginStartupInfo& startupInfo() const { return *info_; }
    // The module is still ours: the record holds it and it is still in the
    // process under this plugin's path.
    bool loaded() const;
    // The host was about to call into this plugin's module after it had been
    // released behind its back: what the released host would crash on. That
    // call was reported as a fault and not made.
    bool released() const { return released_; }
    // The host holds the address of this export (the record's, not cleared).
    bool has(const char* exportName) const;
    // The plugin faulted in a call: the host calls nothing of it any more
    // (not even ClosePlugin), releases its module once no call into it is
    // running and clears its record; fault() is the report.
    bool faulted() const { return faulted_; }
    const std::string& fault() const { return fault_; }
    // The host's record of this plugin (see plugins/pluginRecord.h), in the
    // host's array at ModuleNumber; nullptr for an object the record has
    // passed to a newer load of the same DLL.
    const PluginRecord* record() const { return record_; }
    // Known from the plugin cache and not loaded (the record's work flag 1):
    // the host loads the DLL at the first use of one of its entries.
    bool known() const { return record_ && (record_->workFlags & kWorkCached); }
    // The command prefix as the host reads it: from the plugin cache while
    // the plugin is known but not loaded, else from GetPluginInfo.
    std::string commandPrefix();
    // Runs body, a call into the export exportName, with its faults
    // contained; false when it faulted now or had faulted before (body is
    // then not run). A fault is reported as a problem and in Host::faults.
    template <typename F>
    bool call(const char* exportName, F&& body) {
        if (faulted_) return false;
        FaultInfo fault;
        ++callDepth_;
        DWORD code = guarded(body, &fault);
        --callDepth_;
        if (code) noteFault(exportName, fault);
        if (faulted_ && callDepth_ == 0) dropAfterFault();
        return code == 0;
    }

    // GetPluginInfo with a zeroed structure, as the host asks it (StructSize 0).
    PluginInfo getPluginInfo();
    int getMinFarVersion();
    int configure(int item = 0);
    // OpenPlugin, then read() as the host does; nullptr when the plugin refused.
    // A first listing that fails leaves the panel open and empty (the real
    // host would close it; the transcript says so). Panels of this plugin
    // closed before are released here: a closed panel stays readable until
    // the plugin's next open.
    Panel* open(int openFrom = 0, int item = 0, bool readNow = true);
    // The address the host's record holds for the export, made before every
    // call into the plugin: nullptr once it faulted, when the address is
    // cleared, or while the plugin is known but not loaded (panel calls never
    // load). An address into a module released since is a fault that ends
    // the run ("the host would call ... whose module was released").
    FARPROC proc(const char* name);
    FARPROC proc(Export which);
    // A way in that may start the plugin (menus, configuration, prefixes,
    // files, editor and viewer events): the entry's word tested for non-zero,
    // the DLL loaded through the record when it is known but not loaded, then
    // the address. A word of 1 for an entry the loaded DLL lacks is the call
    // through null the host would make: reported as a fault.
    FARPROC enter(Export which);
    // OpenFilePlugin through enter(), and the panel it opens; nullptr when it declined.
    Panel* openFile(const char* name, const unsigned char* data, int dataSize);

private:
    friend class Host;
    friend class Panel;
    friend struct Services;
    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;
    friend struct std::default_delete<Plugin>;
    void noteFault(const char* exportName, const FaultInfo& fault);
    // After a fault: the module released (when still ours) and the record
    // cleared but for its path, never to be loaded again.
    void dropAfterFault();
    // The panel of a handle OpenPlugin or OpenFilePlugin gave, read and drawn when readNow.
    Panel* adoptPanel(HANDLE handle, bool readNow);
    PluginRecord* record_ = nullptr;
    RecordLayout layout_;
    int callDepth_ = 0;
    bool released_ = false;
    bool faulted_ = false;
    bool exited_ = false;              // ExitFAR called since this load
    std::string fault_;
    std::string path_;
    int moduleNumber_ = 0;
    std::unique_ptr<PluginStartupInfo> info_;
    // GetMsg: the record's message table, read from the language file only
    // while it is empty; a number past it shows the host's box about a
    // damaged language file.
    const char* message(int id);
    std::vector<std::unique_ptr<Panel>> panels_;
};

}  // namespace farhost
