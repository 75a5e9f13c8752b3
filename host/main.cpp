// farhost: the command-line host. Loads the plugins of a FAR tree as the host
// does, opens one plugin's panel and prints what a person would see, driven by
// a key script or, on a console, by the keyboard.
#include "farHost.h"

#include "consoleKeys.h"
#include "drop.h"
#include "hostText.h"
#include "keyNames.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using namespace farhost;

namespace {

const char kUsage[] =
    "usage: farhost [--host DIR] [--plugin DLL] [--personal DIR] [--lang English|Russian]\n"
    "               [--keys \"KEY KEY ...\"] [--answers 0,1,...] [--dialog \"RESULT[;idx=text][;idx:check]\"]...\n"
    "               [--info] [--configure] [--width N] [--interactive]\n"
    "               [--only-vantorel] [--leave NAME]... [--reg-binary SUBKEY VALUE HEXBYTES]...\n"
    "               [--drop DIR NAME...] [--other DIR]\n"
    "  --host DIR     the FAR folder (plugins in DIR\\Plugins)\n"
    "  --plugin DLL   the plugin whose panel opens (default DIR\\Plugins\\Vantorel\\Vantorel.dll)\n"
    "  --personal DIR stores PersonalPluginsPath for the plugin to read; its plugins load too\n"
    "  --only-vantorel  load no plugin but the one of --plugin (by default every plugin\n"
    "                 DLL under DIR\\Plugins and the personal folder loads, as the host\n"
    "                 does at start, and HKCU\\SOFTWARE\\Far\\PluginsCache is kept)\n"
    "  --leave NAME   leave the DLL of this file name unloaded (repeatable)\n"
    "  --reg-binary SUBKEY VALUE HEXBYTES\n"
    "                 before loading, store a REG_BINARY value under the plugins' RootKey,\n"
    "                 e.g. --reg-binary J\\Vantorel JConfig 010000010001 (repeatable)\n"
    "  --keys         key names: Up Down Home End PgUp PgDn Enter Esc Del F1..F12, with\n"
    "                 Shift/Ctrl/Alt before them (ShiftF5, ShiftDel, CtrlF4, Ctrl1, AltF3)\n"
    "  --answers      answers of message boxes with buttons, in order (default 0)\n"
    "  --dialog       result and edits of the next dialog (repeatable); -1 = Esc\n"
    "  --info         print GetMinFarVersion and GetPluginInfo\n"
    "  --configure    run Configure and print the dialog\n"
    "  --drop DIR NAME...  after the keys, copy these files and folders of DIR onto the\n"
    "                 panel as the host does (current folder DIR, PutFiles with the items\n"
    "                 selected; every following word not starting with -- is a name), then\n"
    "                 print which items stayed selected, the result and the panel re-read\n"
    "  --other DIR    interactive: the other panel shows this folder; Tab switches panels,\n"
    "                 Ins selects, Enter opens a folder, F5 copies onto the plugin's panel\n"
    "  --interactive  read keys from the console; Esc or F10 quits. A box with buttons\n"
    "                 asks: Enter or Y = first button, N = second, 1..9 = by number, Esc = none\n"
    "After each key the transcript lines it caused are printed (boxes, help requests,\n"
    "problems), then the panel; at the end the whole transcript and the problems.\n";

// Bytes pass unchanged: no text-mode newline translation, no code page.
void out(const std::string& text) {
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    size_t done = 0;
    while (done < text.size()) {
        DWORD chunk = static_cast<DWORD>(text.size() - done > 65536 ? 65536 : text.size() - done);
        if (!WriteFile(h, text.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

void err(const std::string& text) {
    HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct Options {
    std::string hostDir, pluginPath, personal, language = "English";
    std::vector<std::string> keys;
    std::vector<int> answers;
    std::vector<DialogScript> dialogs;
    bool info = false, configure = false, interactive = false;
    bool personalGiven = false;
    bool onlyVantorel = false;
    std::vector<std::string> leave;
    struct RegValue {
        std::string subkey, name, bytes;
    };
    std::vector<RegValue> regValues;
    std::string dropDir, otherDir;
    std::vector<std::string> dropNames;
    int width = 100;
};

// "01 00 ff", "0100ff" or "01,00,ff"; false on anything else.
bool parseHexBytes(const std::string& text, std::string& bytes) {
    bytes.clear();
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == ':') continue;
        if (!isxdigit(static_cast<unsigned char>(c))) return false;
        digits += c;
    }
    if (digits.empty() || digits.size() % 2) return false;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes += static_cast<char>(strtoul(digits.substr(i, 2).c_str(), nullptr, 16));
    return true;
}

bool storeBinary(const std::string& rootKey, const Options::RegValue& v) {
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

bool parseDialogScript(const std::string& text, DialogScript& script) {
    std::vector<std::string> parts = splitText(text, ';');
    char* end = nullptr;
    script.result = static_cast<int>(strtol(parts[0].c_str(), &end, 10));
    if (parts[0].empty() || *end) return false;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        size_t eq = p.find('='), colon = p.find(':');
        if (eq != std::string::npos && (colon == std::string::npos || eq < colon)) {
            script.edits[atoi(p.substr(0, eq).c_str())] = p.substr(eq + 1);
        } else if (colon != std::string::npos) {
            script.checks[atoi(p.substr(0, colon).c_str())] = atoi(p.substr(colon + 1).c_str());
        } else {
            return false;
        }
    }
    return true;
}

bool parseArgs(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--host") { if (!value(o.hostDir)) return false; }
        else if (a == "--plugin") { if (!value(o.pluginPath)) return false; }
        else if (a == "--personal") { if (!value(o.personal)) return false; o.personalGiven = true; }
        else if (a == "--lang") { if (!value(o.language)) return false; }
        else if (a == "--keys") {
            if (!value(v)) return false;
            for (const std::string& k : splitText(v, ' '))
                if (!trimBlanks(k).empty()) o.keys.push_back(trimBlanks(k));
        } else if (a == "--answers") {
            if (!value(v)) return false;
            for (const std::string& n : splitText(v, ',')) {
                char* end = nullptr;
                long x = strtol(n.c_str(), &end, 10);
                if (n.empty() || *end) { error = "bad answer: " + n; return false; }
                o.answers.push_back(static_cast<int>(x));
            }
        } else if (a == "--dialog") {
            if (!value(v)) return false;
            DialogScript script;
            if (!parseDialogScript(v, script)) { error = "bad dialog script: " + v; return false; }
            o.dialogs.push_back(script);
        } else if (a == "--width") {
            if (!value(v)) return false;
            o.width = atoi(v.c_str());
            if (o.width < 20 || o.width > 1000) { error = "bad width: " + v; return false; }
        } else if (a == "--info") o.info = true;
        else if (a == "--configure") o.configure = true;
        else if (a == "--interactive") o.interactive = true;
        else if (a == "--only-vantorel") o.onlyVantorel = true;
        else if (a == "--leave") {
            if (!value(v)) return false;
            o.leave.push_back(v);
        } else if (a == "--reg-binary") {
            Options::RegValue r;
            std::string hexText;
            if (!value(r.subkey) || !value(r.name) || !value(hexText)) return false;
            if (!parseHexBytes(hexText, r.bytes)) { error = "bad hex bytes: " + hexText; return false; }
            o.regValues.push_back(r);
        }
        else if (a == "--drop") {
            if (!value(o.dropDir)) return false;
            while (i + 1 < argc && strncmp(argv[i + 1], "--", 2) != 0) o.dropNames.push_back(argv[++i]);
            if (o.dropNames.empty()) { error = "--drop needs names after the folder"; return false; }
        } else if (a == "--other") { if (!value(o.otherDir)) return false; }
        else if (a == "--help" || a == "-h" || a == "/?") { error = ""; return false; }
        else { error = "unknown option: " + a; return false; }
    }
    for (const std::string& k : o.keys) {
        int vk;
        unsigned state;
        if (!parseKeyName(k, vk, state)) { error = "unknown key name: " + k; return false; }
    }
    if (o.pluginPath.empty()) {
        if (o.hostDir.empty()) { error = "give --host DIR or --plugin DLL"; return false; }
        std::string dir = o.hostDir;
        if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
        o.pluginPath = dir + "Plugins\\Vantorel\\Vantorel.dll";
    }
    return true;
}

std::string hex(unsigned long v, int digits = 0) {
    char buf[24];
    snprintf(buf, sizeof buf, "0x%0*lX", digits, v);
    return buf;
}

std::string menuList(Host& host, const char* label, const char* const* strings, int count) {
    std::string s = std::string(label) + ": " + std::to_string(count) + (strings ? " (list set)" : " (no list)") + "\n";
    for (int i = 0; strings && i < count; ++i) {
        if (!strings[i]) host.problems.push_back(std::string(label) + "[" + std::to_string(i) + "] is a null text");
        s += "  [" + std::to_string(i) + "] " + (strings[i] ? "\"" + boundedText(strings[i], kMaxPluginText) + "\"" : "(null)") + "\n";
    }
    return s;
}

std::string printInfo(Host& host, Plugin& plugin) {
    std::string s;
    int version = plugin.getMinFarVersion();
    s += "GetMinFarVersion: " + hex(static_cast<unsigned long>(version), 8) + " (" +
         std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF) + ")\n";
    PluginInfo info = plugin.getPluginInfo();
    s += "StructSize: " + std::to_string(info.StructSize) + "\n";
    s += "Flags: " + hex(info.Flags) + "\n";
    s += menuList(host, "DiskMenuStrings", info.DiskMenuStrings, info.DiskMenuStringsNumber);
    if (info.DiskMenuNumbers) {
        s += "DiskMenuNumbers:";
        int n = info.DiskMenuStringsNumber > 0 ? info.DiskMenuStringsNumber : 1;
        for (int i = 0; i < n; ++i) s += " " + std::to_string(info.DiskMenuNumbers[i]);
        s += "\n";
    } else {
        s += "DiskMenuNumbers: (none)\n";
    }
    s += menuList(host, "PluginMenuStrings", info.PluginMenuStrings, info.PluginMenuStringsNumber);
    s += menuList(host, "PluginConfigStrings", info.PluginConfigStrings, info.PluginConfigStringsNumber);
    s += std::string("CommandPrefix: ") +
         (info.CommandPrefix ? "\"" + boundedText(info.CommandPrefix, kMaxPluginText) + "\"" : "(none)") + "\n";
    return s;
}

const char* itemTypeName(int type) {
    static const char* const kNames[] = {"TEXT", "VTEXT", "SINGLEBOX", "DOUBLEBOX", "EDIT",
                                         "PSWEDIT", "FIXEDIT", "BUTTON", "CHECKBOX", "RADIOBUTTON"};
    return type >= 0 && type < 10 ? kNames[type] : "?";
}

std::string printDialog(const DialogCall& d) {
    std::string s = "Dialog (" + std::to_string(d.x1) + "," + std::to_string(d.y1) + ")-(" + std::to_string(d.x2) +
                    "," + std::to_string(d.y2) + ") help \"" + d.helpTopic + "\", " + std::to_string(d.after.size()) +
                    " items:\n";
    for (size_t i = 0; i < d.after.size(); ++i) {
        const FarDialogItem& a = d.after[i];
        const FarDialogItem& b = d.before[i];
        char line[128];
        snprintf(line, sizeof line, "  [%2u] %-11s (%d,%d)-(%d,%d) focus=%d selected=%d flags=0x%lX default=%d ",
                 static_cast<unsigned>(i), itemTypeName(a.Type), a.X1, a.Y1, a.X2, a.Y2, a.Focus, a.Selected,
                 static_cast<unsigned long>(a.Flags), a.DefaultButton);
        s += line;
        s += "\"" + std::string(a.Data) + "\"";
        if (strcmp(a.Data, b.Data) != 0) s += " (was \"" + std::string(b.Data) + "\")";
        if (a.Selected != b.Selected) s += " (selected was " + std::to_string(b.Selected) + ")";
        s += "\n";
    }
    s += "  result: " + std::to_string(d.result) + "\n";
    return s;
}

std::string printRecords(Host& host) {
    std::string s = "--- transcript ---\n";
    for (const std::string& line : host.transcript) s += line + "\n";
    if (!host.helps.empty()) {
        s += "--- help requests ---\n";
        for (const HelpCall& h : host.helps) s += "ShowHelp \"" + h.moduleName + "\" topic " + h.topic + " flags " + hex(h.flags, 8) + "\n";
    }
    for (const DialogCall& d : host.dialogs) s += printDialog(d);
    s += "--- problems ---\n";
    if (host.problems.empty()) s += "(none)\n";
    for (const std::string& p : host.problems) s += p + "\n";
    return s;
}

// On a console each picture replaces the last, as on the host's screen.
void clearConsole() {
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(h, &info)) return;
    DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    DWORD done = 0;
    COORD origin = {0, 0};
    FillConsoleOutputCharacterA(h, ' ', cells, origin, &done);
    FillConsoleOutputAttribute(h, info.wAttributes, cells, origin, &done);
    SetConsoleCursorPosition(h, origin);
}

// The title of the last window drawn without buttons during the current key.
std::string g_lastDrawnTitle;

std::string answerText(const MessageCall& box) {
    std::string s = "  answer: " + std::to_string(box.answer);
    if (box.answer >= 0 && box.answer < static_cast<int>(box.buttons.size())) s += " (" + box.buttons[box.answer] + ")";
    return s + "\n";
}

// One key as a person sees it: the boxes drawn while the plugin works, the
// transcript lines it caused (help requests and problems among them), then
// the panel.
void pressKey(Host& host, Panel& panel, int vk, unsigned state, int width, size_t& shown) {
    out("\n[" + keyName(vk, state) + "]\n");
    g_lastDrawnTitle.clear();
    panel.key(vk, state);
    for (; shown < host.transcript.size(); ++shown) out("  " + host.transcript[shown] + "\n");
    out(panel.render(width));
}

// Files of a folder copied onto the panel: the boxes as drawn, the transcript
// lines, each item's selection and the result, the panel as read again.
// A child process the plugin runs writes its own lines before them.
void dropFiles(Host& host, Panel& panel, const std::string& dir, const std::vector<std::string>& names, int width,
               size_t& shown) {
    out("\n[drop " + std::to_string(names.size()) + " item(s) from " + dir + "]\n");
    PutResult result = panel.putFiles(dir, names);
    for (; shown < host.transcript.size(); ++shown) out("  " + host.transcript[shown] + "\n");
    out(describePut(result));
    out(panel.render(width));
}

// Boxes appear as they are drawn; a scripted answer is shown with its box.
// A window redrawn under the same title (a progress window) shows once; the
// transcript has every drawing.
void showBoxesAsDrawn(Host& host, int width, bool interactive) {
    host.onMessage = [width, interactive](const MessageCall& box) {
        std::string title = box.lines.empty() ? std::string() : box.lines[0];
        bool redrawn = box.buttons.empty() && title == g_lastDrawnTitle;
        g_lastDrawnTitle = box.buttons.empty() ? title : std::string();
        if (redrawn || (interactive && !box.buttons.empty())) return;   // a question was shown when asked
        out(renderMessageBox(box, width));
        if (!box.buttons.empty()) out(answerText(box));
    };
}

void runInteractive(Host& host, Panel& panel, int width, const std::string& otherDir) {
    KeySource keys;
    out(keys.console() ? "Keys: arrows, Enter, Del, F1..F12 with Shift/Ctrl/Alt; Esc or F10 quits.\n"
                       : "Type key names (e.g. Down Enter ShiftF5), one or more a line; Esc or F10 quits.\n");
    std::unique_ptr<PanelPair> pair;
    if (!otherDir.empty()) {
        pair.reset(new PanelPair(host, panel, otherDir));
        out(pair->renderFolder(width));
    }
    showBoxesAsDrawn(host, width, true);
    host.askMessage = [&keys, width](const MessageCall& box) {
        out(renderMessageBox(box, width));
        out("  Enter/Y = " + box.buttons[0] + (box.buttons.size() > 1 ? ", N = " + box.buttons[1] : std::string()) +
            ", Esc = none: ");
        int vk;
        unsigned state;
        for (;;) {
            std::string unknown;
            if (!keys.next(vk, state, &unknown)) return -1;   // end of input: as Esc
            int answer = answerForKey(vk, state, box.buttons.size());
            if (answer != -2) {
                out(answer >= 0 ? box.buttons[answer] + "\n" : std::string("Esc\n"));
                return answer;
            }
        }
    };
    size_t shown = host.transcript.size();
    int vk;
    unsigned state;
    std::string unknown;
    while (keys.next(vk, state, &unknown)) {
        if (!unknown.empty()) {
            out("unknown key name: " + unknown + "\n");
            unknown.clear();
        }
        if ((vk == VK_ESCAPE || vk == VK_F10) && state == 0) break;
        if (keys.console()) clearConsole();
        if (pair && pair->takes(vk, state)) {
            out("\n[" + keyName(vk, state) + "]\n");
            pair->key(vk, state, host.askMessage);
            for (; shown < host.transcript.size(); ++shown) out("  " + host.transcript[shown] + "\n");
            out(panel.render(width));
        } else {
            pressKey(host, panel, vk, state, width, shown);
        }
        if (pair) out(pair->renderFolder(width));
        if (panel.closed()) break;
    }
    host.askMessage = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string error;
    if (!parseArgs(argc, argv, o, error)) {
        if (!error.empty()) err("farhost: " + error + "\n");
        err(kUsage);
        return 2;
    }

    HostOptions ho;
    ho.hostDir = o.hostDir;
    ho.language = o.language;
    ho.writePersonalPath = o.personalGiven;
    ho.personalPluginsPath = o.personal;
    ho.leaveUnloaded = o.leave;
    Host host(ho);
    for (int a : o.answers) host.queueMessageAnswer(a);
    for (const DialogScript& d : o.dialogs) host.queueDialog(d);
    for (const Options::RegValue& v : o.regValues)
        if (!storeBinary(host.rootKey(), v)) err("farhost: cannot store " + v.subkey + "\\" + v.name + "\n");

    Plugin* plugin = host.load(o.pluginPath);
    if (!plugin) {
        err("farhost: " + host.lastError() + "\n");
        return 2;
    }

    if (o.info || o.configure) {
        if (o.info) out(printInfo(host, *plugin));
        if (o.configure) {
            if (!plugin->has("Configure")) out("Configure: not exported\n");
            else out("Configure(0) = " + std::to_string(plugin->configure(0)) + "\n");
        }
        host.unload(plugin);
        out(printRecords(host));
        return 0;
    }

    // The rest of the tree loads after the panel's own plugin, as plugin 2 on.
    if (!o.onlyVantorel && !o.hostDir.empty()) host.loadAllPlugins();

    Panel* panel = plugin->open(0, 0);
    if (!panel) {
        host.unload(plugin);
        out(printRecords(host));
        err("farhost: the plugin did not open a panel\n");
        return 1;
    }
    out(panel->render(o.width));
    size_t shown = host.transcript.size();
    if (!o.keys.empty() || !o.dropNames.empty()) {
        showBoxesAsDrawn(host, o.width, false);
        for (const std::string& name : o.keys) {
            int vk;
            unsigned state;
            parseKeyName(name, vk, state);
            pressKey(host, *panel, vk, state, o.width, shown);
            if (panel->closed()) break;
        }
        if (!o.dropNames.empty() && !panel->closed()) dropFiles(host, *panel, o.dropDir, o.dropNames, o.width, shown);
    } else {
        DWORD mode;
        bool consoleIn = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
        if (o.interactive || consoleIn) runInteractive(host, *panel, o.width, o.otherDir);
    }
    host.onMessage = nullptr;
    panel->close();
    // Every plugin goes before the records are printed, so that what the
    // unloading finds (screens never restored, freed modules) is in them.
    std::vector<Plugin*> all = host.plugins();
    for (auto it = all.rbegin(); it != all.rend(); ++it) host.unload(*it);
    out(printRecords(host));
    return 0;
}
