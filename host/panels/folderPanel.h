// The host's other panel in an interactive run: an ordinary folder of the
// file system, with a cursor and a selection, from which files are copied
// onto the plugin's panel.
#pragma once

#include "interface/farApi.h"

#include <string>
#include <vector>

namespace farhost {

class FolderPanel {
public:
    explicit FolderPanel(const std::string& dir);
    const std::string& dir() const { return dir_; }   // trailing backslash
    bool exists() const { return exists_; }

    // Lists the folder again; the cursor stays on its name, and the
    // selection on the names still there.
    void reload();
    // Up, Down, Home, End, PgUp, PgDn; Insert selects or deselects the
    // current item and moves down; Enter goes into a folder or up with "..".
    // False when the key is none of these.
    bool key(int vk, unsigned state);

    // What a copy takes: the selected names, else the current item's name
    // (never ".."); empty when there is nothing to copy.
    std::vector<std::string> chosen() const;
    bool anySelected() const;
    // After a copy: an item stays selected only when the plugin left its
    // PPIF_SELECTED set, as the host shows it.
    void keepSelected(const std::vector<std::string>& names, const std::vector<bool>& selected);

    std::string render(int width, int height, bool active) const;

private:
    struct Entry {
        FarFindData data{};
        std::string name;
        bool folder = false;
        bool dots = false;
        bool selected = false;
    };
    std::string dir_;
    std::vector<Entry> entries_;
    int current_ = 0;
    bool exists_ = false;
    void list(const std::string& keepCurrent, const std::vector<std::string>& keepSelected);
    void setCurrent(int index);
};

}  // namespace farhost
