// Switching a plugin off and on by the names of its DLLs: FAR finds plugins
// by "*.dll", so a plugin DLL renamed to "name.dll.off" is one FAR neither
// loads nor lists, while every other file of the plugin, its settings and
// its place stay. The renames of one folder are journaled as one change.
#pragma once
#include <windows.h>

struct SwitchFailure {
    char path[MAX_PATH];   // the file in the way, else the DLL that could not be renamed
    DWORD error;
    bool journal;          // the journal could not be written (path names it)
    bool putBack;          // DLLs renamed before the failure were renamed back
    bool stuck;            // ... one could not be: the next open repairs it
};

// Renames the plugin DLLs under folder (off: those exporting FAR's entry
// points; on: every "*.dll.off"). The number renamed, or -1 with nothing
// renamed and the reason in *failure.
int switchDllsUnder(const char* folder, bool off, SwitchFailure* failure);

// An update of a switched-off plugin stays off: in the staged folder (the
// new build with the old build's files it does not replace) every plugin
// DLL takes the switched-off name, and the old build's "name.dll.off" goes
// where the new build brings a "name.dll", in whichever of its folders.
void keepSwitchedOff(const char* stage);
