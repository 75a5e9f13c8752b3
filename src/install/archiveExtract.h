// Unpacking a dropped plugin archive with the extract command the host's
// archive plugin is configured with, run as a child in the host's console.
#pragma once
#include "state/panelState.h"

// Unpacks the archive into folder, which exists, running the archiver there
// with folder as its target too. True when the archiver ran and ended with
// exit code 0; otherwise the reason (with the archiver's exit code and
// command) is in the install report.
bool extractArchiveInto(const PanelState* panel, const char* archiveName, const char* folder);
