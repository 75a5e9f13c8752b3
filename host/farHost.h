// The host emulator: a small stand-in for the FAR 1.70 plugin host. It loads
// plugin DLLs from a FAR-like tree, lends them its services, keeps panels over
// them the way the host does, answers boxes and dialogs from a script, and
// writes everything the plugin shows into a transcript.
//
// This is the face of the library for tests, benchmarks and plugin authors:
// the Host and its Plugins, its options and what plugins showed (core/), the
// Panels with their items and a box as text (panels/), file helpers
// (common/). The emulator's own files include what they use from its rooms
// directly.
#pragma once

#include "common/fileSystem.h"
#include "core/host.h"
#include "core/hostOptions.h"
#include "core/plugin.h"
#include "core/transcript.h"
#include "panels/boxText.h"
#include "panels/panel.h"
#include "panels/panelEntry.h"
