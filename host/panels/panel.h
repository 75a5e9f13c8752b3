// A panel over a plugin, as the host keeps it: the items it read through
// GetFindData, the cursor, the sort and view modes, the host's own keys, the
// panel as text.
#pragma once

#include "panels/panelEntry.h"

#include <string>
#include <vector>

namespace farhost {

class Host;
class Plugin;

class Panel {
public:
    HANDLE handle() const { return handle_; }
    Plugin* plugin() const { return plugin_; }
    // GetOpenPluginInfo + GetFindData (+ FreeFindData), the way the host reads a panel.
    bool read(int opMode = 0);
    // The last OpenPluginInfo the plugin gave, with its texts copied.
    const OpenPluginInfo& info() const { return info_; }
    std::string title() const { return title_; }
    std::string curDir() const { return curDir_; }
    bool inList() const;             // at the plugin's root: it names no current folder

    const std::vector<PanelEntry>& items() const { return items_; }
    int current() const { return current_; }
    void setCurrent(int index);
    bool setCurrentByName(const std::string& name);   // name as shown (without path)
    int viewMode() const { return viewMode_; }
    void setViewMode(int mode) { viewMode_ = mode; }
    int sortMode() const { return sortMode_; }
    // 1, or -1 in reverse. Choosing the sort mode in force again reverses it
    // (the host's "reverse sort" option, on by default); another mode sorts
    // forward. Re-sorts, calling the plugin's Compare.
    int sortOrder() const { return sortOrder_; }
    void setSortMode(int mode);

    // Enter on the current item: SetDirectory(name) on folders, then re-read.
    bool enter(int opMode = 0);
    bool setDirectory(const std::string& dir, int opMode = 0);
    // Files copied onto this panel, the way the host does it: sets the
    // process's current folder to sourceDir (as the host does for the source
    // panel), builds PluginPanelItems from those files and folders (find data
    // filled from FindFirstFile, cFileName = the name as given, relative names
    // stay relative, PPIF_SELECTED set in Flags, everything else zero), calls
    // the plugin's PutFiles(handle, items, n, move, opMode) with the panel
    // active, restores the previous current folder, transcribes
    // "> PutFiles(...) = r" and each item's selection in the transcript, and
    // then, like the host, re-reads the panel. A name that does not exist is
    // still passed (find data zero); one longer than 259 characters is cut to
    // fit cFileName (a problem is noted).
    PutResult putFiles(const std::string& sourceDir, const std::vector<std::string>& names,
                       int opMode = 0, bool move = false);
    // ProcessKey; when the plugin does not handle the key, the host's own
    // handling applies (Ctrl+F3..F11 sort modes, Ctrl+0..9 view modes,
    // Ctrl+Z descriptions in the host's own columns, Ins selects).
    int key(int vk, unsigned controlState = 0);
    void close();                    // ClosePlugin (not called once the plugin faulted)
    // ProcessEvent(event) when the plugin exports it; its answer, else 0.
    int event(int id);
    // What the host does after drawing: ProcessEvent(FE_REDRAW), then asks
    // GetOpenPluginInfo again (twice) as it draws the title and status.
    void redraw();
    // The internal key the host offers for each console event that is no key
    // press (a key or a modifier going up, a modifier going down), the same
    // way as any key (first with PKF_PREPROCESS added, then plainly).
    void offerIdleKey();
    // The folder the host holds for a panel with real names: each time it
    // draws the panel it takes the folder of the current item's name, except
    // on an item named "..", where it keeps what it had. Copies onto the
    // panel land there.
    std::string shownFolder() const { return shownFolder_; }
    bool inOtherHalf() const { return otherHalf_; }
    bool closed() const { return closed_; }
    bool descriptionsShown() const { return descriptionsShown_; }

    // The panel as text: title, column titles, items in the plugin's columns
    // for the current view mode (the host's own columns when the plugin has
    // none for it), the key bar.
    std::string render(int width = 100, int height = 0) const;

private:
    friend class Host;
    friend class Plugin;
    friend struct Services;
    Panel(Host* host, Plugin* plugin, HANDLE handle);
    void sortItems();
    void drawn();                    // the panel was drawn: see shownFolder()
    void refreshInfo();              // GetOpenPluginInfo, texts copied
    // A text of GetOpenPluginInfo's answer, copied; one without its terminator is a problem.
    std::string infoText(const char* text, const char* what);
    std::string optionalText(const char* text, const char* what);   // a null text kept as "none"
    int keepModes(const OpenPluginInfo& info);     // the panel modes copied; how many
    void keepKeyBar(const OpenPluginInfo& info);   // the key bar's labels copied
    void applyStartModes();          // StartPanelMode and StartSortMode, at the first read only
    // GetFindData and FreeFindData: the plugin's items copied after `items`;
    // false when the plugin gave none (or faulted).
    bool readItems(int opMode, std::vector<PanelEntry>& items);
    PanelEntry copyItem(const PluginPanelItem& item, int index);
    bool changeDirectory(const std::string& dir, int opMode);
    // FCTL_GETPANELINFO: the whole structure cleared and filled; the plugin's
    // GetOpenPluginInfo asked once more inside (not again from inside that).
    void fillPanelInfo(PanelInfo& info);
    // FCTL_GETPANELSHORTINFO: the same without the item arrays (their counts stay).
    void fillShortPanelInfo(PanelInfo& info);
    // ProcessKey with the key's code as given; its answer (0 on a fault).
    int processKey(int code, unsigned controlState, bool* called = nullptr);
    int hostKey(int vk, unsigned controlState);   // the host's own handling of a key
    Host* host_;
    Plugin* plugin_;
    HANDLE handle_;
    OpenPluginInfo info_{};
    std::string title_, curDir_, format_;
    std::vector<PanelMode> modes_;
    std::vector<std::vector<std::string>> modeStrings_;
    std::vector<std::vector<std::string>> modeTitles_;
    std::vector<std::vector<const char*>> modeTitlePtrs_;
    std::vector<std::string> keyBar_;   // 84 slots; "\x01" = none
    KeyBarTitles keyBarTitles_{};
    std::string hostFile_, shortcutData_;
    std::string shownFolder_;
    // What FCTL_GETPANELINFO handed out; valid until the next such call.
    mutable std::vector<PanelEntry> infoEntries_;
    mutable std::vector<PluginPanelItem> infoItems_;
    mutable std::vector<PluginPanelItem> infoSelected_;
    std::vector<PanelEntry> items_;
    int current_ = 0;
    int viewMode_ = 2;
    int sortMode_ = SM_NAME;
    int sortOrder_ = 1;
    bool descriptionsShown_ = false;   // Ctrl+Z over the host's own columns
    bool closed_ = false;
    bool haveInfo_ = false;
    bool startApplied_ = false;      // StartPanelMode/StartSortMode are taken once
    bool otherHalf_ = false;         // opened in the other half of the screen
    bool askingInfo_ = false;        // inside the GetOpenPluginInfo FCTL_GETPANELINFO asks
    int reading_ = 0;                // inside GetFindData or sorting
};

}  // namespace farhost
