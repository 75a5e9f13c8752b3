// Folders derived from a plugin DLL's path.
#pragma once
#include <stddef.h>

// The folder a plugin is shown and browsed under: the DLL's folder, or its
// parent when the DLL lies in a folder named bin (for paths longer than ten
// characters, so that C:\bin\ stays itself). With keepSlash the trailing
// backslash stays. out holds 260 bytes.
void pluginFolderOf(const char* dllPath, char* out, bool keepSlash);
// The folder whose tree is summed for the plugin's size: the DLL's own folder,
// without trailing backslash.
void sizeFolderOf(const char* dllPath, char* out);
// Cuts a folder path ending in "\bin\" (compared without case, text longer
// than ten characters) back to its parent, keeping the parent's backslash.
void cutBinFolder(char* folder);
// A plugin switched off keeps its DLLs under the name with this added: FAR
// looks for "*.dll" only, and the short name Windows makes of such a name
// ends in ".OFF" as well, so neither name is found.
constexpr char SWITCHED_OFF_SUFFIX[] = ".off";
// Whether a DLL path is that of a switched-off plugin DLL ("name.dll.off").
bool isSwitchedOff(const char* dllPath);
// The same DLL's path switched the other way ("name.dll" and "name.dll.off").
bool switchedName(const char* dllPath, char* out, size_t cap);
// Whether path lies inside folder (given without its trailing backslash).
bool liesInFolder(const char* path, const char* folder);
// The text after the last backslash of a path.
const char* fileNameOf(const char* path);
