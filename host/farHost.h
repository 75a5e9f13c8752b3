// The host emulator: a small stand-in for the FAR 1.70 plugin host. It loads
// plugin DLLs from a FAR-like tree, lends them its services, keeps panels over
// them the way the host does, answers boxes and dialogs from a script, and
// records everything the plugin shows in a transcript.
//
// This is the face of the library for tests, benchmarks and plugin authors:
// the Host, its Plugins and Panels, the records it keeps and a box as text
// (core/), file helpers (common/). The emulator's own files include what
// they use from its rooms directly.
#pragma once

#include "common/fileSystem.h"
#include "core/boxText.h"
#include "core/host.h"
#include "core/panel.h"
#include "core/plugin.h"
#include "core/records.h"
