// The message service handed to foreign plugins while they are probed: it
// answers their message ids from their own language files instead of ours.
#pragma once
#include "far/farPlugin.h"

// Control codes of substituteGetMsg, given in place of a plugin number.
enum : int {
    SUBSTITUTE_SET_MODULE = 10001,  // second argument: the foreign DLL's path
    SUBSTITUTE_RELEASE = 10003,     // second argument ignored
};

// The message texts of one foreign plugin, in the order of its language file.
class JPlugMsgs {
public:
    // Loads the language file of the host's language (else the English one)
    // from the folder of modulePath.
    explicit JPlugMsgs(const char* modulePath);
    ~JPlugMsgs();
    JPlugMsgs(const JPlugMsgs&) = delete;
    JPlugMsgs& operator=(const JPlugMsgs&) = delete;

    char** texts = nullptr;  // count entries, each a heap text or nullptr; nullptr when no file was read
    unsigned count = 0;
};

extern char substituteModulePath[MAX_PATH];
extern JPlugMsgs* substituteMessages;
// The *.lng files of the folder of the plugin about to be probed, as a
// listing of that folder just found them: names, each ended by a zero, an
// empty name ending the list. A scan that has listed every folder sets it
// around a probe, so that the table is not found by another search of the
// folder (under Wine a search lists the whole folder again); nullptr, the
// rest of the time, makes the table search the folder itself.
extern const char* substituteLanguageFiles;

// Same shape as the host's GetMsg. With SUBSTITUTE_SET_MODULE the second
// argument is the address of the DLL path (32-bit); with SUBSTITUTE_RELEASE it
// is ignored; both release the current table and return nullptr. Any other
// first argument looks up message id msgIdOrPath, loading the table first
// when none is held; an empty text answers what cannot be found (no file, no
// such id), so that no placeholder becomes a plugin's menu item.
const char* WINAPI substituteGetMsg(int pluginNumberOrCode, int msgIdOrPath);
