// The host put together: the services it lends every plugin (services/;
// core/ copies them into each plugin's startup information) and the live
// hosts the services reach. The rest of the Host is in core/.
#include "core/host.h"

#include "services/services.h"

namespace farhost {

namespace {

// Live hosts, newest last: the newest is the one plugins talk to.
std::vector<Host*> g_hosts;

}  // namespace

Host::Host(HostOptions options) : options_(std::move(options)) {
    Services::fillStandardFunctions(fsf_);
    Services::fillStartupInfo(lent_, &fsf_);
    makeRegistryRoot();
    g_hosts.push_back(this);
    layOutRecords();
    if (options_.loadAll) loadAllPlugins();
}

Host::~Host() {
    // The host quits as it does when asked; a panel that refuses to close
    // goes all the same, as when the process ends.
    if (!quit()) end();
    removeRegistry();
    for (auto it = g_hosts.begin(); it != g_hosts.end(); ++it)
        if (*it == this) {
            g_hosts.erase(it);
            break;
        }
}

Host* Host::current() { return g_hosts.empty() ? nullptr : g_hosts.back(); }

}  // namespace farhost
