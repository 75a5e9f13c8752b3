// The command line of farhost: what it accepts and its usage text.
#pragma once

#include "core/host.h"

#include <string>
#include <vector>

namespace farhost {

// Exit codes of the command-line host.
enum ExitCode {
    kExitClean = 0,      // no problem found
    kExitProblems = 1,   // problems found (with --strict: any, calls of services not emulated too)
    kExitUsage = 2,      // a bad command line
    kExitNotLoaded = 3,  // the plugin cannot be loaded or has no 1.70 entry point
    kExitFaulted = 4,    // a plugin faulted in a call
};

struct CliOptions {
    std::string hostDir, pluginPath, personal, language = "English";
    std::vector<std::string> keys;
    std::vector<int> answers, menuAnswers;
    std::vector<DialogScript> dialogs;
    bool info = false, configure = false, interactive = false;
    bool personalGiven = false;
    bool onlyVantorel = false;
    bool strict = false, raw = false, help = false;
    bool keepRegistry = false;
    bool far175 = false;                 // --far 1.75
    std::string rootKey;                 // empty: a fresh key, removed at exit
    unsigned codePage = 0;               // 0: the host language's OEM code page
    int openFrom = 0, openItem = 0;      // OpenPlugin's arguments
    std::string command;                 // --command: the text after the plugin's prefix
    std::vector<std::string> leave;
    struct RegValue {
        std::string subkey, name, bytes;
    };
    std::vector<RegValue> regValues;
    std::string dropDir, otherDir;
    std::string otherPanel;              // --other-panel: this plugin's panel in the other half
    std::vector<std::string> dropNames;
    int width = 0;                       // 0: the console's width, else 100
    std::string jsonPath;                // --json: the report of the run, for tools
};

extern const char kUsage[];

// False with a message in error on a bad command line; --help sets help.
bool parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error);

}  // namespace farhost
