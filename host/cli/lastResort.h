// When the host itself faults (a plugin corrupted its memory, or a plugin's
// own thread faulted outside any call the host guards), the run still ends
// the way a CI job can read: the fault reported, the transcript so far and the
// problems printed, the registry key removed, exit code 4, instead of
// Wine's register dump and exit code 5.
#pragma once

#include "console/terminalText.h"
#include "core/host.h"

namespace farhost {

void installLastResort(Host& host, const TerminalOutput& output);

}  // namespace farhost
