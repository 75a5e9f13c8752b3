// What plugins showed through the host's services, kept beside the lines
// of the transcript: every box, dialog, menu and help request with what it
// was answered, and the script's answers for dialogs.
#pragma once

#include "interface/farApi.h"

#include <map>
#include <string>
#include <vector>

namespace farhost {

struct MessageCall {
    int pluginNumber = 0;
    DWORD flags = 0;
    std::string helpTopic;
    std::vector<std::string> lines;  // every item text (FMSG_ALLINONE split at '\n'), title first;
                                     // button items included, as the plugin passed them
    int itemsNumber = 0;
    int buttonsNumber = 0;
    std::vector<std::string> buttons; // button texts (from items or FMSG_MB_* flags)
    int answer = -1;
};

struct DialogCall {
    int pluginNumber = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string helpTopic;
    std::vector<FarDialogItem> before;  // items as the plugin handed them in
    std::vector<FarDialogItem> after;   // items as returned to the plugin
    std::vector<std::string> masks;     // the mask text of each DIF_MASKEDIT item ("" for others)
    int result = -1;
};

struct DialogScript {
    int result = -1;                    // index of the closing item, -1 = Esc
    std::map<int, std::string> edits;   // item index -> new Data
    std::map<int, int> checks;          // item index -> new Selected
};

struct MenuCall {
    int pluginNumber = 0;
    std::string title, bottom, helpTopic;
    std::vector<std::string> items;      // texts; separators are "-"
    int selected = 0;                    // the item the plugin marked Selected
    int answer = -1;                     // the chosen item, -1 = Esc
};

struct HelpCall {
    std::string moduleName;
    std::string topic;   // "(none)" for a null topic
    DWORD flags = 0;
};

}  // namespace farhost
