// Whether FAR 1.70 can take a DLL as a plugin, and if not why, from the file
// alone: nothing is loaded. The DLLs it imports are looked up as the loader
// would look for them when the host loads the plugin by its full path.
#pragma once
#include "dll/peImageFacts.h"

// Names in a verdict are cut to fit.
constexpr size_t FITNESS_NAME_CHARS = 64;

struct PluginFitness {
    PluginUnfitness reason;
    bool readable;                      // false: the file could not be opened or read
    bool gone;                          // no file at the path at all
    PluginImageFacts facts;
    char dll[FITNESS_NAME_CHARS];       // the DLL that cannot be found, or that lacks the function
    char function[FITNESS_NAME_CHARS];  // the function it lacks
};

// Reads the DLL at path: its headers, exports and imports; then looks for
// each DLL it imports and checks that the DLL exports what it imports by name.
void checkPluginFile(const char* path, PluginFitness* fitness);

// Whether the DLL exports one of FAR 1.70's entry points under its plain
// name, read from the file: a scan loads nothing else.
bool exportsFarEntryPoint(const char* path);
// The same, over the bytes of a DLL file the caller holds (size bytes at data).
bool exportsFarEntryPointIn(const uint8_t* data, size_t size);

// The installer's question: would FAR 1.70 load this DLL and keep it as a
// plugin?
bool isFar170Plugin(const char* path);

// The file a DLL the plugin imports would be loaded from: a module of that
// name already in the process, else the plugin's own folder, the system
// folder, the Windows folder, the folders of PATH, and last the side-by-side
// store, where the versioned C runtimes live. False when it is nowhere.
bool findImportedDll(const char* pluginPath, const char* dll, char* found, size_t cap);
