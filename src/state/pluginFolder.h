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
// The text after the last backslash of a path.
const char* fileNameOf(const char* path);
