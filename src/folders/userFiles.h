// Which files of a plugin's folder are the user's. A plugin folder holds the
// plugin's own code and texts, which each build brings, and files the user
// or the plugin made or changed: settings, lists, logs. When one build
// replaces another (an update, going back), the build brings its code and
// texts; a file of the user's kind that both builds hold and that differs
// stays as the user has it, and the arriving build's copy is put beside it
// as "name.new"; a file only the folder holds stays.
#pragma once
#include <stddef.h>

extern const char NEW_COPY_SUFFIX[];   // ".new"

// Whether a file of this name is one of the plugin's own code or texts
// (".dll", ".exe", ".fmt", ".fll", a switched-off ".dll.off", ".lng", ".hlf",
// ".diz", ".txt", and a build's ".new" copy), which a build always brings.
bool isPluginsOwnFile(const char* name);
// Whether two files hold the same bytes (false when either cannot be read).
bool sameContent(const char* a, const char* b);
// Whether the user's copy at installed stays over the arriving one.
bool usersCopyStays(const char* installed, const char* arriving);

// The files under installed that an arriving build (its folder, or the
// copy of it being made) also holds and whose user's copies stay: called
// with each path below installed; the number found.
typedef void (*KeptFile)(const char* below, void* context);
int filesKeptFromUser(const char* installed, const char* arriving, KeptFile kept, void* context);

// Makes stage (a copy of the arriving build) take what the installed folder
// holds of the user's: files only the folder has are copied in, differing
// files of the user's kind are copied over the build's, whose copy goes
// beside as "name.new"; a plugin DLL the build holds elsewhere in its tree
// stays behind (FAR would list the plugin twice). False when a copy failed.
bool takeUsersFiles(const char* installed, const char* stage);
// Copies a folder tree whole into a new folder to.
bool copyFolderTree(const char* from, const char* to);
