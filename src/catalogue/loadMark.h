// How a plugin's load state shows in the list: the attribute other readers
// (the cache, FAR's highlighting) rely on, and a one-character mark in the
// panel's first column that shows in every colour scheme.
#pragma once
#include "far/farPlugin.h"

enum LoadState {
    LOAD_NOT_LOADED,
    LOAD_LOADED,          // FAR has the DLL loaded now
    LOAD_UNLOADED_HERE,   // unloaded by this plugin in this FAR session
    LOAD_SWITCHED_OFF,    // switched off: FAR neither loads nor lists it, until switched on
};

struct LoadMark {
    DWORD attributes;     // FILE_ATTRIBUTE_SYSTEM for a loaded plugin, else 0
    const char* text;     // the mark column's text; empty for no mark
};

// What a plugin in state shows; with marking off only a plugin unloaded
// here, or switched off, is marked.
LoadMark loadMarkOf(LoadState state, bool markLoaded);

// Points the item's first custom column at the mark text (the host copies it).
void applyLoadMark(PluginPanelItem* item, LoadState state, bool markLoaded);
