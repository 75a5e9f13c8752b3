// What the command-line host prints of a run, and the exit code it ends with.
#pragma once

#include "cli/cliOptions.h"
#include "core/host.h"

#include <string>

namespace farhost {

// GetMinFarVersion and GetPluginInfo; a missing export shows as "not exported".
std::string printInfo(Host& host, Plugin& plugin);
std::string printDialog(const DialogCall& dialog);
// The transcript, help requests, dialogs and problems.
std::string printReport(Host& host);
// 4 when a plugin faulted, else 1 when problems were found (calls of
// services not emulated only with strict), else 0.
int exitCodeOf(const Host& host, bool strict);

}  // namespace farhost
