// The host: it loads plugin DLLs from a FAR-like tree into its array of
// records, lends them its services, keeps panels over them the way the host
// does, answers boxes and dialogs from a script, and writes everything the
// plugins show into a transcript. Put together in host.cpp (above the
// services it lends); its dealings with panels are in panels/, the rest
// here in core/.
#pragma once

#include "core/hostOptions.h"
#include "core/plugin.h"
#include "core/transcript.h"
#include "interface/farApi.h"
#include "modules/pluginRecord.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace farhost {

class Panel;   // panels/: the host's panels are opened, kept and closed there

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
    // ClosePlugin on open panels, ExitFAR (once per load), FreeLibrary (when
    // the module is still ours), the record cleared.
    void unload(Plugin* plugin);
    // Quitting, as the host does it: ProcessEvent(FE_CLOSE) for every open
    // panel (a non-zero answer keeps that panel open and the host running:
    // false), then end().
    bool quit();
    // The end of a run, as the host's process ends after its quit: ClosePlugin
    // for every open panel (one that refused FE_CLOSE too), ExitFAR of every
    // plugin it loaded that exports it, once, then the modules released. A run
    // that stops early (a panel that never opened, a fault) ends here too;
    // plugins known only from the cache were never loaded and get no call.
    void end();
    const std::string& lastError() const { return lastError_; }
    // What the host does at start: loads every plugin DLL of the array (and
    // any that appeared under pluginsDir() or the personal plugins folder
    // since, at the array's end) that is not loaded yet, not known from the
    // plugin cache and not left out (HostOptions::leaveUnloaded). A DLL that
    // cannot be loaded is noted in the transcript; it is not a failure. Cache
    // slots of DLLs that are gone are removed when this start cached a plugin
    // afresh, as the host does; otherwise they stay.
    void loadAllPlugins();
    // The host's array of records and the version it answers.
    const PluginRecords& records() const { return records_; }
    DWORD farVersion() const {
        DWORD version = options_.far175 ? kFar175Version : kFar170Version;
        return options_.otherBuild ? (version & 0xFFFF) | (options_.otherBuild << 16) : version;
    }
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
    // FAR 1.75's dialogs: ProcessDialogEvent of every plugin with that entry
    // (loading those known but not loaded) until one takes the event; the
    // answer of that one, else 0. FAR 1.70 has no such entry.
    int dialogEvent(int event, void* param = nullptr);
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
    void clearTranscript();

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
    // The services every plugin is lent, filled when the host is put
    // together; each plugin's startup information starts as a copy.
    PluginStartupInfo lent_{};
    int saved_ = 0, restored_ = 0;
    std::map<HANDLE, bool> screens_;
    std::string registryBase_;             // removed at exit when generated
    bool wrotePluginsCache_ = false;
    int slotsWritten_ = 0;                 // plugin cache slots written since the start
    std::vector<HANDLE> reportedScreens_;  // unrestored screens already noted
    int notEmulated_ = 0;
    std::vector<std::string> notEmulatedNames_;

    Panel* findPanel(HANDLE handle);       // the calling panel first, then any open one
    Panel* otherPanel(Panel* panel);       // the host's other panel, if a plugin holds it

    // The RootKey (a fresh key when none is given) and, when asked, the
    // personal plugins path beside it.
    void makeRegistryRoot();
    void problem(const std::string& text); // into problems and the transcript
    void findDlls(const std::string& dir, int depth, std::vector<std::string>& dlls);
    std::vector<std::string> treeDlls();   // every DLL of the plugins folders, in the host's order
    void layOutRecords();                  // the array, at start
    Plugin* addRecord(const std::string& path);   // a record at the array's end, and its plugin
    Plugin* pluginForLoad(int index, const char* path);   // the object a new load of the DLL goes into
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
    void exitPlugin(Plugin* plugin);       // ExitFAR, once per load of the plugin
    // ClosePlugin for every open panel (of this plugin only, when given).
    void closePanels(Plugin* only = nullptr);
    void transcribe(const std::string& text) { transcript.push_back(text); }
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

}  // namespace farhost
