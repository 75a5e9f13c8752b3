// The records the host keeps of what plugins did and what it was asked to
// do: its options, the version it answers, every box, dialog, menu and help
// request, the panel items it holds, what a copy onto a panel came to.
#pragma once

#include "interface/farApi.h"

#include <map>
#include <string>
#include <vector>

namespace farhost {

struct HostOptions {
    std::string hostDir;            // the FAR folder, plugins live in hostDir\Plugins
    std::string rootKey;            // HKCU path handed to plugins as RootKey; empty = a fresh unique one
    std::string language = "English";
    bool writePersonalPath = false; // write "PersonalPluginsPath" under the sibling key "System"
    std::string personalPluginsPath;
    bool removeRegistryOnExit = true;
    // Load every plugin DLL under pluginsDir() and the personal plugins
    // folder at start, as the host does (see Host::loadAllPlugins).
    bool loadAll = false;
    std::vector<std::string> leaveUnloaded;   // DLL file names loadAll skips (any case)
    // Keep the host's plugin cache (PluginsCache beside the RootKey's
    // Plugins key) as the host does: a slot for each plugin loaded at start
    // and after each Configure.
    bool writePluginsCache = true;
    // Answer and lay out records as FAR 1.75 build 2634 does (1,500-byte
    // records with ProcessDialogEvent, version 1.75, the keypad's Del as
    // KEY_NUMDEL) instead of FAR 1.70 build 2087.
    bool far175 = false;
    // Another build of the same FAR to answer ACTL_GETFARVERSION with (0:
    // the build above), its records laid out as above: a plugin that knows
    // the record layout of particular builds only must not take it for one.
    DWORD otherBuild = 0;
};

// The version the host answers to ACTL_GETFARVERSION, as the host forms it:
// (major << 8) | minor | (build << 16).
constexpr DWORD makeFarVersion(int major, int minor, int build) {
    return static_cast<DWORD>((major << 8) | minor | (build << 16));
}
constexpr DWORD kFar170Version = makeFarVersion(1, 70, 2087);
constexpr DWORD kFar175Version = makeFarVersion(1, 75, 2634);

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

// One item as the host keeps it (copied out of the plugin's array).
struct PanelEntry {
    PluginPanelItem raw{};           // Description/Owner point at the strings below
    std::string name;                // cFileName
    std::string description;         // empty when none
    std::string owner;               // empty when none
    bool hasDescription = false;
    bool hasOwner = false;
    bool isDots = false;             // the ".." the host adds
    std::vector<std::string> customColumns;   // CustomColumnData, copied

    PanelEntry() = default;
    // Copies point raw's texts at their own strings, never at the original's.
    PanelEntry(const PanelEntry& other);
    PanelEntry& operator=(const PanelEntry& other);
    void repoint();                  // raw.Description/Owner/CustomColumnData -> the strings above

private:
    std::vector<char*> customPointers_;
};

// What a copy onto a plugin's panel came to (Panel::putFiles).
struct PutResult {
    int result = -1;                      // what PutFiles returned
    std::vector<std::string> names;       // cFileName of each item, as passed
    std::vector<bool> selected;           // PPIF_SELECTED still set in Flags after the call
    // What the host leaves selected in the source panel: nothing after a
    // result of 1 or 2, else the items whose PPIF_SELECTED the plugin kept.
    std::vector<bool> kept;
    std::vector<PluginPanelItem> after;   // the items as the plugin left them
};

}  // namespace farhost
