// The list-mode read of the panel: one record and one panel item per plugin DLL.
#pragma once
#include "state/panelState.h"

// What a build reads of the settings, and the host's language, which the
// descriptions plugins give depend on.
struct BuildSettings {
    bool probe;          // ask each plugin examined afresh for its menu strings
    bool markLoaded;     // mark the plugins the host has loaded
    DWORD language;      // tag of the host's language
};

// Where a build tells what it does: the progress of the scan, and that there
// is nothing to list.
struct BuildSink {
    void (*start)(const char* title, int total, int quiet);
    void (*step)(const char* path, int position);
    void (*stop)();
    void (*noPlugins)();
};

// Rebuilds the panel's catalogue; 1 with the items handed out, 0 when no
// plugin DLL was found.
int buildCatalogue(PanelState* panel, PluginPanelItem** items, int* count, int opMode, const BuildSettings& settings,
                   const BuildSink& sink);
