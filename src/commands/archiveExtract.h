// Unpacking a dropped plugin archive with the extract command the host's
// archive plugin is configured with, run as a child in the host's console.
#pragma once
#include "state/panelState.h"

// The command for an archive extension: the archive plugin's configured
// "Extract" value, else what its format module for the extension answers.
// nullptr when there is none. The text lives until the next call.
const char* findExtractCommand(const PanelState* panel, const char* extension);
// Unpacks the archive into a folder of its name under the plugins root; the
// short form of that folder, or nullptr when nothing was run.
const char* extractArchive(const PanelState* panel, const char* archiveName);
