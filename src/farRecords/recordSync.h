// Keeping FAR's record of a plugin in step with its files. FAR does not wait
// for a restart to use a changed DLL: a plugin it knows from its plugin
// cache and has not loaded is loaded from whatever file lies at its path at
// its next use, and FAR calls through the entry points its record says the
// plugin has. So after every change of a plugin's files, every record FAR
// has of a DLL there must say what the disk says: the new file's entry
// points, or, where there is no file FAR could use, nothing at all.
#pragma once
#include "farRecords/recordLayout.h"
#include "dll/pluginFitness.h"

// Checks that FAR can be let to load the DLL at path at its next use, from
// the file there now and its slot in FAR's plugin cache, and with commit
// puts record (FAR's record of path, not loaded) into FAR's known-not-loaded
// state with that file's entry points. 0, or the message id of the reason
// it cannot be (fitness holds F3's verdict of the file).
int rearmFromDisk(uint8_t* record, const FarRecordLayout& layout, const char* path, PluginFitness* fitness,
                  bool commit);

struct RecordsSynced {
    int rearmed;        // FAR loads the DLL on disk at the plugin's next use
    int gone;           // FAR uses it no more until it restarts
    int loaded;         // FAR has it loaded: left as it is
    int unknown;        // plugin DLLs FAR has no record of: it finds them at its next start
    bool unknownBuild;  // FAR's records are not known here: nothing was written
    bool noTable;       // FAR's table was not found: nothing was written
};
// After the files under folder changed (a folder without its trailing
// backslash): every record of FAR's of a DLL under it that FAR has not
// loaded is re-armed from the DLL there, or marked gone where there is none
// that FAR could use. Plugins Vantorel unloaded there are forgotten as such.
RecordsSynced syncRecordsUnder(const char* folder);
// Whether FAR's table, on a build whose records are known, holds a record
// of a DLL under folder.
bool farKnowsPluginsUnder(const char* folder);
