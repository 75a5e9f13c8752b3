// farhost: the command-line host. Loads a plugin (and, given a FAR folder,
// the plugins of its tree as the host does), opens the plugin's panel and
// prints what a person would see, driven by a key script or, on a console, by
// the keyboard. The exit code tells a CI job how the plugin did.
#include "cli/cliOptions.h"
#include "cli/cliReport.h"
#include "cli/jsonReport.h"
#include "common/hostText.h"
#include "console/hostMenuKeys.h"
#include "console/interactive.h"
#include "common/keyNames.h"
#include "console/terminalText.h"
#include "core/host.h"
#include "cli/lastResort.h"
#include "interface/farApi.h"
#include "panels/drop.h"

using namespace farhost;

namespace {

bool storeBinary(const std::string& rootKey, const CliOptions::RegValue& v) {
    std::string path = rootKey + "\\" + v.subkey;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, v.name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(v.bytes.data()),
                             static_cast<DWORD>(v.bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// The run's end: the JSON report when asked for, and the exit code.
int finish(const Host& host, const CliOptions& o, unsigned codePage, int code) {
    if (o.jsonPath.empty()) return code;
    std::string json = jsonReport(host, code, codePage);
    HANDLE file = CreateFileA(o.jsonPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, json.data(), static_cast<DWORD>(json.size()), &written, nullptr))
        code = code == kExitClean ? kExitProblems : code;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return code;
}

int consoleWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

// OpenPlugin from the command line: the text after the plugin's own prefix.
Panel* openFromCommand(Host& host, Plugin& plugin, const std::string& command, std::string& text) {
    std::string prefix = command.substr(0, command.find(':'));
    text = command.substr(command.find(':') + 1);
    std::string own = plugin.commandPrefix();
    bool known = false;
    for (const std::string& p : splitText(own, ':')) known = known || equalNoCase(p, prefix);
    if (!known) {
        host.transcript.push_back("> the plugin's CommandPrefix is \"" + own + "\", not \"" + prefix +
                                  "\": the host would not pass it the command");
        return nullptr;
    }
    return plugin.open(OPEN_COMMANDLINE, static_cast<int>(reinterpret_cast<intptr_t>(text.c_str())));
}

void pressKey(Host& host, Panel& panel, const TerminalOutput& output, int vk, unsigned state, int width,
              size_t& shown) {
    output.out("\n[" + keyName(vk, state) + "]\n");
    boxesForNextKey();
    if (!hostMenuKey(host, vk, state)) panel.key(vk, state);
    // Drawn first, so that what drawing asks of the plugin is among the key's lines.
    std::string picture = panel.closed() || !host.faults.empty() ? std::string() : panel.render(width);
    for (; shown < host.transcript.size(); ++shown) output.out("  " + host.transcript[shown] + "\n");
    output.out(picture);
}

HostOptions hostOptionsOf(const CliOptions& o) {
    HostOptions ho;
    ho.hostDir = o.hostDir;
    ho.language = o.language;
    ho.writePersonalPath = o.personalGiven;
    ho.personalPluginsPath = o.personal;
    ho.leaveUnloaded = o.leave;
    ho.rootKey = o.rootKey;
    ho.removeRegistryOnExit = o.rootKey.empty();
    ho.far175 = o.far175;
    return ho;
}

// The script's answers queued, and the registry values stored before the plugin loads.
void prepareHost(Host& host, const CliOptions& o, const TerminalOutput& output) {
    for (int a : o.answers) host.queueMessageAnswer(a);
    for (int a : o.menuAnswers) host.queueMenuAnswer(a);
    for (const DialogScript& d : o.dialogs) host.queueDialog(d);
    for (const CliOptions::RegValue& v : o.regValues)
        if (!storeBinary(host.rootKey(), v)) output.err("farhost: cannot store " + v.subkey + "\\" + v.name + "\n");
}

// --info and --configure: the plugin asked, no panel opened.
int infoRun(Host& host, Plugin& plugin, const CliOptions& o, const TerminalOutput& output, unsigned codePage) {
    if (o.info) output.out(printInfo(host, plugin));
    if (o.configure) {
        if (!plugin.has("Configure")) output.out("Configure: not exported\n");
        else output.out("Configure(0) = " + std::to_string(plugin.configure(0)) + "\n");
    }
    host.end();
    output.out(printReport(host));
    return finish(host, o, codePage, exitCodeOf(host, o.strict));
}

// The rest of the tree loaded, then the plugin's panel opened as the command
// line says, and the other half's when asked for. False on a bad --other-panel.
bool openPanels(Host& host, Plugin& plugin, const CliOptions& o, const TerminalOutput& output, Panel*& panel) {
    // The rest of the tree loads after the panel's own plugin (each at its
    // place in the host's array, by file name).
    if (!o.onlyVantorel && !o.hostDir.empty()) host.loadAllPlugins();
    std::string commandText;
    // Opened from a menu, the host builds that menu first.
    if (o.openFrom == OPEN_DISKMENU) host.diskMenu();
    else if (o.openFrom == OPEN_PLUGINSMENU) host.pluginsMenu();
    panel = o.openFrom == OPEN_COMMANDLINE ? openFromCommand(host, plugin, o.command, commandText)
                                           : plugin.open(o.openFrom, o.openItem);
    if (!panel || o.otherPanel.empty()) return true;
    Plugin* other = host.findPlugin(o.otherPanel);
    if (!other || !other->module()) {
        output.err("farhost: --other-panel: no plugin " + o.otherPanel + " is loaded\n");
        return false;
    }
    if (!host.openOtherPanel(other)) output.err("farhost: " + o.otherPanel + " did not open a panel\n");
    return true;
}

// The keys of the script and the files dropped, each followed by the panel;
// without a script, the keyboard on a console.
void drivePanel(Host& host, Panel& panel, const CliOptions& o, const TerminalOutput& output, int width) {
    size_t shown = host.transcript.size();
    if (o.keys.empty() && o.dropNames.empty()) {
        DWORD mode;
        bool consoleIn = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
        InteractiveOptions io;
        io.width = o.width;
        io.otherDir = o.otherDir;
        if (o.interactive || consoleIn) runInteractive(host, panel, output, io);
        return;
    }
    showBoxesAsDrawn(host, output, width);
    for (const std::string& name : o.keys) {
        int vk;
        unsigned state;
        parseKeyName(name, vk, state);
        pressKey(host, panel, output, vk, state, width, shown);
        if (panel.closed() || !host.faults.empty()) break;
        if (vk == VK_F10 && state == 0) break;   // quit, the question answered Yes
    }
    if (o.dropNames.empty() || panel.closed() || !host.faults.empty()) return;
    output.out("\n[drop " + std::to_string(o.dropNames.size()) + " item(s) from " + o.dropDir + "]\n");
    PutResult result = panel.putFiles(o.dropDir, o.dropNames);
    std::string picture = panel.render(width);
    for (; shown < host.transcript.size(); ++shown) output.out("  " + host.transcript[shown] + "\n");
    output.out(describePut(result));
    output.out(picture);
}

}  // namespace

int main(int argc, char** argv) {
    CliOptions o;
    std::string error;
    bool parsed = parseCommandLine(argc, argv, o, error);
    unsigned codePage = o.codePage ? o.codePage : equalNoCase(o.language, "Russian") ? 866u : GetOEMCP();
    TerminalOutput output(codePage, o.raw);
    if (parsed && o.help) {
        output.out(kUsage);
        return kExitClean;
    }
    if (!parsed) {
        output.err("farhost: " + error + "\n(farhost --help tells more)\n");
        return kExitUsage;
    }
    int width = o.width ? o.width : (consoleWidth() >= 40 ? consoleWidth() - 1 : 100);

    Host host(hostOptionsOf(o));
    installLastResort(host, output);
    prepareHost(host, o, output);
    Plugin* plugin = host.load(o.pluginPath);
    if (!plugin) {
        output.out(printReport(host));
        output.err("farhost: " + host.lastError() + "\n");
        return finish(host, o, codePage, host.faults.empty() ? kExitNotLoaded : kExitFaulted);
    }
    if (o.info || o.configure) return infoRun(host, *plugin, o, output, codePage);

    Panel* panel = nullptr;
    if (!openPanels(host, *plugin, o, output, panel)) return finish(host, o, codePage, kExitUsage);
    if (!panel) {
        host.end();
        output.out(printReport(host));
        output.err(plugin->faulted() ? "farhost: " + plugin->fault() + "\n" : "farhost: the plugin did not open a panel\n");
        int code = exitCodeOf(host, o.strict);
        return finish(host, o, codePage, code == kExitClean ? kExitProblems : code);
    }
    output.out(panel->render(width));
    drivePanel(host, *panel, o, output, width);
    host.onMessage = nullptr;
    // The host quits before the report is printed, so that what quitting
    // finds (screens never restored, released modules) is in them. A panel
    // that refuses to close is closed all the same: the run ends here.
    size_t before = host.transcript.size();
    if (!host.quit()) host.end();
    for (size_t i = before; i < host.transcript.size() && !o.keys.empty(); ++i)
        output.out("  " + host.transcript[i] + "\n");
    output.out(printReport(host));
    for (const std::string& fault : host.faults) output.err("farhost: " + fault + "\n");
    return finish(host, o, codePage, exitCodeOf(host, o.strict));
}
