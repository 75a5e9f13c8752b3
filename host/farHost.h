// The host emulator: a small stand-in for the FAR 1.70 plugin host. It loads
// plugin DLLs from a FAR-like tree, lends them its services, keeps panels over
// them the way the host does, answers boxes and dialogs from a script, and
// records everything the plugin shows in a transcript.
#pragma once

#include "faults/faultGuard.h"
#include "interface/farApi.h"
#include "plugins/pluginRecord.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
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

class Host;

class Panel {
public:
    HANDLE handle() const { return handle_; }
    class Plugin* plugin() const { return plugin_; }
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
    void setSortMode(int mode);      // re-sorts, calling the plugin's Compare

    // Enter on the current item: SetDirectory(name) on folders, then re-read.
    bool enter(int opMode = 0);
    bool setDirectory(const std::string& dir, int opMode = 0);
    // Files copied onto this panel, the way the host does it: sets the
    // process's current folder to sourceDir (as the host does for the source
    // panel), builds PluginPanelItems from those files and folders (find data
    // filled from FindFirstFile, cFileName = the name as given, relative names
    // stay relative, PPIF_SELECTED set in Flags, everything else zero), calls
    // the plugin's PutFiles(handle, items, n, move, opMode) with the panel
    // active, restores the previous current folder, records
    // "> PutFiles(...) = r" and each item's selection in the transcript, and
    // then, like the host, re-reads the panel. A name that does not exist is
    // still passed (find data zero); one longer than 259 characters is cut to
    // fit cFileName (a problem is recorded).
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
    Panel(Host* host, class Plugin* plugin, HANDLE handle);
    void sortItems();
    void refreshInfo();              // GetOpenPluginInfo, texts copied
    bool changeDirectory(const std::string& dir, int opMode);
    // FCTL_GETPANELINFO: the whole record cleared and filled; the plugin's
    // GetOpenPluginInfo asked once more inside (not again from inside that).
    void fillPanelInfo(PanelInfo& info);
    // ProcessKey with the key's code as given; its answer (0 on a fault).
    int processKey(int code, unsigned controlState, bool* called = nullptr);
    int hostKey(int vk, unsigned controlState);   // the host's own handling of a key
    Host* host_;
    class Plugin* plugin_;
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
    // What FCTL_GETPANELINFO handed out; valid until the next such call.
    mutable std::vector<PanelEntry> infoEntries_;
    mutable std::vector<PluginPanelItem> infoItems_;
    mutable std::vector<PluginPanelItem> infoSelected_;
    std::vector<PanelEntry> items_;
    int current_ = 0;
    int viewMode_ = 2;
    int sortMode_ = SM_NAME;
    bool descriptionsShown_ = false;   // Ctrl+Z over the host's own columns
    bool closed_ = false;
    bool haveInfo_ = false;
    bool startApplied_ = false;      // StartPanelMode/StartSortMode are taken once
    bool otherHalf_ = false;         // opened in the other half of the screen
    bool askingInfo_ = false;        // inside the GetOpenPluginInfo FCTL_GETPANELINFO asks
    int reading_ = 0;                // inside GetFindData or sorting
};

class Plugin {
public:
    // The handle the host's record holds; null once the record was cleared.
    HMODULE module() const { return record_ ? record_->module : nullptr; }
    const std::string& path() const { return path_; }
    int moduleNumber() const { return moduleNumber_; }
    const PluginStartupInfo& startupInfo() const { return *info_; }
    // The module is still ours: the record holds it and it is still in the
    // process under this plugin's path.
    bool loaded() const;
    // The host was about to call into this plugin's module after it had been
    // released behind its back: what the released host would crash on. That
    // call was reported as a fault and not made.
    bool released() const { return released_; }
    // The host holds the address of this export (the record's, not cleared).
    bool has(const char* exportName) const;
    // The plugin faulted in a call: the host calls nothing of it any more
    // (not even ClosePlugin), releases its module once no call into it is
    // running and clears its record; fault() is the report.
    bool faulted() const { return faulted_; }
    const std::string& fault() const { return fault_; }
    // The host's record of this plugin (see plugins/pluginRecord.h), in the
    // host's array at ModuleNumber; nullptr for an object the record has
    // passed to a newer load of the same DLL.
    const PluginRecord* record() const { return record_; }
    // Known from the plugin cache and not loaded (the record's work flag 1):
    // the host loads the DLL at the first use of one of its entries.
    bool known() const { return record_ && (record_->workFlags & kWorkCached); }
    // The command prefix as the host reads it: from the plugin cache while
    // the plugin is known but not loaded, else from GetPluginInfo.
    std::string commandPrefix();
    // Runs body, a call into the export exportName, with its faults
    // contained; false when it faulted now or had faulted before (body is
    // then not run). A fault is reported as a problem and in Host::faults.
    template <typename F>
    bool call(const char* exportName, F&& body) {
        if (faulted_) return false;
        FaultInfo fault;
        ++callDepth_;
        DWORD code = guarded(body, &fault);
        --callDepth_;
        if (code) noteFault(exportName, fault);
        if (faulted_ && callDepth_ == 0) dropAfterFault();
        return code == 0;
    }

    // GetPluginInfo with a zeroed record, as the host asks it (StructSize 0).
    PluginInfo getPluginInfo();
    int getMinFarVersion();
    int configure(int item = 0);
    // OpenPlugin, then read() as the host does; nullptr when the plugin refused.
    // A first listing that fails leaves the panel open and empty (the real
    // host would close it; the transcript says so). Panels of this plugin
    // closed before are released here: a closed panel stays readable until
    // the plugin's next open.
    Panel* open(int openFrom = 0, int item = 0, bool readNow = true);
    // The address the host's record holds for the export, made before every
    // call into the plugin: nullptr once it faulted, when the address is
    // cleared, or while the plugin is known but not loaded (panel calls never
    // load). An address into a module released since is a fault that ends
    // the run ("the host would call ... whose module was released").
    FARPROC proc(const char* name);
    FARPROC proc(Export which);
    // A way in that may start the plugin (menus, configuration, prefixes,
    // files, editor and viewer events): the entry's word tested for non-zero,
    // the DLL loaded through the record when it is known but not loaded, then
    // the address. A word of 1 for an entry the loaded DLL lacks is the call
    // through null the host would make: reported as a fault.
    FARPROC enter(Export which);
    // OpenFilePlugin through enter(), and the panel it opens; nullptr when it declined.
    Panel* openFile(const char* name, const unsigned char* data, int dataSize);

private:
    friend class Host;
    friend class Panel;
    friend struct Services;
    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;
    friend struct std::default_delete<Plugin>;
    void noteFault(const char* exportName, const FaultInfo& fault);
    // After a fault: the module released (when still ours) and the record
    // cleared but for its path, never to be loaded again.
    void dropAfterFault();
    // The panel of a handle OpenPlugin or OpenFilePlugin gave, read and drawn when readNow.
    Panel* adoptPanel(HANDLE handle, bool readNow);
    PluginRecord* record_ = nullptr;
    RecordLayout layout_;
    int callDepth_ = 0;
    bool released_ = false;
    bool faulted_ = false;
    std::string fault_;
    std::string path_;
    int moduleNumber_ = 0;
    std::unique_ptr<PluginStartupInfo> info_;
    // GetMsg: the record's message table, read from the language file only
    // while it is empty; a number past it shows the host's box about a
    // damaged language file.
    const char* message(int id);
    std::vector<std::unique_ptr<Panel>> panels_;
};

class Host {
public:
    explicit Host(HostOptions options);
    ~Host();                            // closes panels, unloads plugins, removes the registry root
    // Removes the registry root (when generated) and the plugin cache it
    // wrote, now: for a process that cannot end the normal way.
    void removeRegistry();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const HostOptions& options() const { return options_; }
    const std::string& rootKey() const { return options_.rootKey; }
    std::string pluginsDir() const;     // hostDir\Plugins\ (trailing backslash)

    // LoadLibrary + SetStartupInfo into the record of this DLL (laid out at
    // start for every DLL of the tree; one from elsewhere joins the array at
    // its end), then GetPluginInfo and its cache slot, as at a start. A DLL
    // known from the cache is loaded as at its first use instead; one already
    // loaded is returned as it is. nullptr on failure (lastError() says why).
    Plugin* load(const std::string& dllPath);
    // ClosePlugin on open panels, FreeLibrary (when the module is still
    // ours), the record cleared.
    void unload(Plugin* plugin);
    // Quitting, as the host does it: ProcessEvent(FE_CLOSE) for every open
    // panel (a non-zero answer keeps that panel open and the host running:
    // false), then ClosePlugin for each, ExitFAR of every loaded plugin
    // that exports it, and the modules released.
    bool quit();
    const std::string& lastError() const { return lastError_; }
    // What the host does at start: loads every plugin DLL of the array (and
    // any that appeared under pluginsDir() or the personal plugins folder
    // since, at the array's end) that is not loaded yet, not known from the
    // plugin cache and not left out (HostOptions::leaveUnloaded). A DLL that
    // cannot be loaded is noted in the transcript; it is not a failure. Cache
    // slots of DLLs that are gone are removed, as the host does.
    void loadAllPlugins();
    // The host's array of records and the version it answers.
    const PluginRecords& records() const { return records_; }
    DWORD farVersion() const { return options_.far175 ? kFar175Version : kFar170Version; }
    // HKCU key of the plugin cache: the RootKey without its "\Plugins", then "\PluginsCache".
    std::string pluginsCacheKey() const;
    // The plugin of this DLL, by full path or by file name alone, in any case:
    // the one holding its record (loaded, else known or unloaded), else the
    // latest; nullptr if none.
    Plugin* findPlugin(const std::string& dllFileNameOrPath);
    std::vector<Plugin*> plugins() const;
    // Notes, once each, every screen saved and not given back; `when` says
    // after what ("after key ShiftDel").
    void checkScreens(const std::string& when);
    // What the host does while it waits for a key: ProcessEvent(FE_IDLE)
    // for every open plugin panel, both halves.
    void idle();
    // The menus of plugins, as the host builds them: the plugins menu (F11)
    // asks GetPluginInfo of every loaded plugin once, the disk menu
    // (Alt+F1, Alt+F2) twice. The items, in plugin order: the plugins menu
    // strings, or the disk menu strings; each item's plugin in `owners`.
    // A plugin known but not loaded is not asked: its items are its cache
    // slot's texts, read now (so they stay as cached until a restart). The
    // configuration menu likewise (PluginConfigString<i>).
    std::vector<std::string> pluginsMenu(std::vector<Plugin*>* owners = nullptr);
    std::vector<std::string> diskMenu(std::vector<Plugin*>* owners = nullptr);
    std::vector<std::string> configMenu(std::vector<Plugin*>* owners = nullptr);
    // The command line "prefix:text": the first plugin (in array order) whose
    // command prefixes hold prefix is opened with OPEN_COMMANDLINE; nullptr
    // when none holds it or the plugin opened nothing.
    Panel* commandLine(const std::string& command);
    // What the host's editor and viewer hand every plugin with that entry
    // (loading those known but not loaded): ProcessEditorEvent and
    // ProcessViewerEvent (the last answer), ProcessEditorInput (true once
    // one plugin took the input). And a file opened through OpenFilePlugin:
    // the first plugin's panel that opens one.
    int editorEvent(int event, void* param = nullptr);
    bool editorInput(const INPUT_RECORD& input);
    int viewerEvent(int event, void* param = nullptr);
    Panel* openFilePlugin(const std::string& fileName);
    // Opens a plugin's panel in the other half of the screen, from the disk
    // menu; nullptr when the plugin refused. FCTL_GETANOTHERPANELINFO of the
    // first half then reports it (Plugin 1) and asks its GetOpenPluginInfo.
    Panel* openOtherPanel(Plugin* plugin);
    // The panel in the other half, if a plugin holds it.
    Panel* otherHalf() const;
    // Every plugin panel open now, both halves.
    std::vector<Panel*> openPanels() const;

    // Script: answers for message boxes with buttons (default: defaultAnswer),
    // results and edits for dialogs (default: Esc).
    void answerMessages(std::initializer_list<int> answers);
    void queueMessageAnswer(int answer) { messageAnswers_.push_back(answer); }
    int defaultAnswer = 0;
    // Asked for the answer of a box with buttons when no scripted answer is
    // queued (a person at the console); defaultAnswer when unset.
    std::function<int(const MessageCall&)> askMessage;
    // Called after each box the plugin shows (a progress window too), so that
    // a test can change the world in the middle of a plugin's operation.
    std::function<void(const MessageCall&)> onMessage;
    void queueDialog(DialogScript script) { dialogScripts_.push_back(std::move(script)); }
    // Menus: queued answers (item index, -1 = Esc), else askMenu, else the
    // item the plugin marked selected, as Enter would choose it.
    void queueMenuAnswer(int answer) { menuAnswers_.push_back(answer); }
    std::function<int(const MenuCall&)> askMenu;
    // Asked for a dialog (and an input box) when no script is queued: fills
    // the script (result, edits, checks) as a person would; unset = Esc.
    std::function<void(const DialogCall&, DialogScript&)> askDialog;
    // Asked to show a help topic (the host's help viewer) when set.
    std::function<void(const HelpCall&)> onHelp;

    // What the plugin did.
    std::vector<MessageCall> messages;
    std::vector<DialogCall> dialogs;
    std::vector<HelpCall> helps;
    std::vector<MenuCall> menus;
    std::vector<std::string> transcript;   // one line per event, in order
    int savedScreens() const { return saved_; }
    int restoredScreens() const { return restored_; }
    int unrestoredScreens() const;          // saved and not yet given back
    // The box drawn without buttons that is still on screen (a progress
    // window until the next RestoreScreen), or nullptr.
    const MessageCall* boxOnScreen() const;
    std::vector<std::string> problems;      // what the real host would only suffer from
    // Reports of plugin calls that faulted (each is among the problems too).
    std::vector<std::string> faults;
    // How many of the problems are calls of services this host does not
    // emulate: the plugin may be right, the emulator cannot tell.
    int notEmulatedCalls() const { return notEmulated_; }
    // Notes a call of a service that is not emulated, once per service.
    void notEmulated(const std::string& service);
    void clearRecords();

    // Current language; GetMsg answers from the matching language file. As
    // the host does, every plugin's message table is dropped (the texts
    // handed out stay valid) and read again at its next GetMsg.
    void setLanguage(const std::string& language);

    // Internal: services reach the current host through this.
    static Host* current();

private:
    friend class Panel;
    friend class Plugin;
    friend struct Services;
    friend struct ServiceAccess;
    friend class ActivePanelScope;
    HostOptions options_;
    std::string lastError_;
    std::vector<std::unique_ptr<Plugin>> plugins_;
    PluginRecords records_;
    std::vector<Plugin*> byIndex_;         // the plugin holding each record
    std::deque<int> messageAnswers_;
    std::deque<DialogScript> dialogScripts_;
    std::deque<int> menuAnswers_;
    FarStandardFunctions fsf_{};
    int saved_ = 0, restored_ = 0;
    std::map<HANDLE, bool> screens_;
    std::string registryBase_;             // removed at exit when generated
    bool wrotePluginsCache_ = false;
    std::vector<HANDLE> reportedScreens_;  // unrestored screens already noted
    int notEmulated_ = 0;
    std::vector<std::string> notEmulatedNames_;

    Panel* findPanel(HANDLE handle);       // the calling panel first, then any open one
    Panel* otherPanel(Panel* panel);       // the host's other panel, if a plugin holds it

    void problem(const std::string& text); // into problems and the transcript
    void findDlls(const std::string& dir, int depth, std::vector<std::string>& dlls);
    std::vector<std::string> treeDlls();   // every DLL of the plugins folders, in the host's order
    void layOutRecords();                  // the array, at start
    Plugin* addRecord(const std::string& path);   // a record at the array's end, and its plugin
    void applyPluginsCache();              // records known from the cache
    // FAR's load of a record known from the cache, at a plugin's first use.
    bool prepare(Plugin* plugin);
    // GetMinFarVersion, then SetStartupInfo, through the record.
    bool startPlugin(Plugin* plugin);
    bool leftOut(const std::string& path) const;
    void savePluginSettings(Plugin* plugin, const PluginInfo& info);
    void removeStaleCacheSlots();
    // Before a menu or a command line: with the whole cache gone (deleted
    // while the host runs), every plugin known from it is loaded, as the host does.
    void loadIfCacheAbsent();
    // The cache slot of a DLL path, from `from` on (FAR's search by Name); -1 when none.
    int cacheSlot(const std::string& path, int from) const;
    std::string slotText(int slot, const std::string& name) const;
    DWORD slotNumber(int slot, const std::string& name, DWORD otherwise = 0) const;
    // The cached items of a plugin known but not loaded: "DiskMenuString" ...
    std::vector<std::string> cachedItems(Plugin* plugin, const char* valuePrefix) const;
    void removePluginsCache();
    void loadError(Plugin* plugin);        // the host's box: "Error loading plugin module"
    void record(const std::string& text) { transcript.push_back(text); }
    Panel* activePanel_ = nullptr;         // the panel whose plugin call is running
    int onScreenBox_ = -1;                 // index into messages
    unsigned nextScreen_ = 0;
};

// Sets the host's active panel for the length of one plugin call.
class ActivePanelScope {
public:
    ActivePanelScope(Host* host, Panel* panel);
    ~ActivePanelScope();
    ActivePanelScope(const ActivePanelScope&) = delete;
    ActivePanelScope& operator=(const ActivePanelScope&) = delete;
private:
    Host* host_;
    Panel* saved_;
};

// A box as the host draws it: title in the frame, text lines, the buttons.
std::string renderMessageBox(const MessageCall& box, int width = 100);

// Copies the files of srcDir named in names (all files when empty) into destDir, creating it.
bool copyFiles(const std::string& srcDir, const std::string& destDir,
               const std::vector<std::string>& names = {});
bool makeDirs(const std::string& path);
bool removeTree(const std::string& path);
std::string uniqueTempDir(const std::string& prefix);   // created, trailing backslash

}  // namespace farhost
