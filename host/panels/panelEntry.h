// The items of a panel as the host keeps them, copied out of the plugin's
// arrays, and what a copy onto a panel came to.
#pragma once

#include "interface/farApi.h"

#include <string>
#include <vector>

namespace farhost {

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
