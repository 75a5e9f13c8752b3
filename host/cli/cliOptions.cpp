// The command line of farhost.
#include "cli/cliOptions.h"

#include "common/hostText.h"
#include "common/keyNames.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

namespace farhost {

const char kUsage[] =
    "usage: farhost --plugin DLL [options]      run a plugin of your own\n"
    "       farhost --host DIR [options]        a FAR folder: its plugins load, Vantorel's panel opens\n"
    "\n"
    "What runs:\n"
    "  --host DIR       the FAR folder (plugins in DIR\\Plugins)\n"
    "  --plugin DLL     the plugin whose panel opens (default DIR\\Plugins\\Vantorel\\Vantorel.dll)\n"
    "  --personal DIR   stores PersonalPluginsPath for the plugin to read; its plugins load too\n"
    "  --only-vantorel  load no plugin but the one of --plugin (by default, with --host, every\n"
    "                   plugin DLL under DIR\\Plugins and the personal folder loads, as the host\n"
    "                   does at start, and the plugin cache beside the RootKey is kept; a run\n"
    "                   over a --root whose cache knows a DLL leaves it unloaded until its\n"
    "                   first use, as the host's warm start does)\n"
    "  --leave NAME     leave the DLL of this file name unloaded (repeatable)\n"
    "  --lang NAME      the host language (English, Russian): GetMsg reads that language file\n"
    "  --far VERSION    the host to be: 1.70 (build 2087, the default) or 1.75 (build 2634:\n"
    "                   its version answer, 1,500-byte plugin records, NumDel as 0x109)\n"
    "  --open FROM[:N]  open the panel from the disk menu (disk), the plugins menu (plugins),\n"
    "                   item N (default: disk:0)\n"
    "  --command TEXT   open it from the command line: TEXT is \"prefix:rest\"; the plugin gets\n"
    "                   \"rest\" when prefix is its CommandPrefix\n"
    "  --info           print GetMinFarVersion and GetPluginInfo, then stop\n"
    "  --configure      run Configure and print the dialog, then stop\n"
    "\n"
    "Script (a run without a person):\n"
    "  --keys \"K K ..\"  key names: Up Down Left Right Home End PgUp PgDn Enter Esc Tab Ins Del\n"
    "                   NumDel Space BS F1..F24, letters and digits, with Shift/Ctrl/Alt before them\n"
    "                   (ShiftF5, ShiftDel, CtrlF4, Ctrl1, AltF3, CtrlZ); F11, AltF1 and AltF2 show\n"
    "                   the host's plugins and disk menus, F10 quits\n"
    "  --answers 0,1,.. answers of message boxes with buttons, in order (then 0)\n"
    "  --menu 0,2,..    items chosen in menus, in order (-1 = Esc; then the selected item)\n"
    "  --dialog \"RESULT[;idx=text][;idx:check]\"  result and edits of the next dialog or input\n"
    "                   box (repeatable); -1 = Esc; an input box's edit line is item 2\n"
    "  --drop DIR NAME...  after the keys, copy these files and folders of DIR onto the panel\n"
    "                   as the host does (PutFiles with the items selected)\n"
    "  --reg-binary SUBKEY VALUE HEXBYTES  before loading, store a REG_BINARY value under the\n"
    "                   plugins' RootKey (repeatable)\n"
    "\n"
    "Registry:\n"
    "  --root KEY       the HKCU key handed to plugins as RootKey, kept after the run (default:\n"
    "                   a fresh key under Software\\VantorelTests, removed at exit)\n"
    "\n"
    "Output:\n"
    "  --width N        columns of the panel (default: the console's width, else 100)\n"
    "  --codepage N     the OEM code page of plugin texts (default 866 for Russian, else the\n"
    "                   system's OEM code page); output is UTF-8, control characters shown as\n"
    "                   symbols\n"
    "  --raw            write plugin texts as their bytes, unconverted\n"
    "  --json FILE      also write the transcript, boxes, problems, faults and exit code as\n"
    "                   JSON (UTF-8) for tools\n"
    "  --strict         calls of services that are not emulated count as problems (exit 1)\n"
    "\n"
    "Interactive (a console, or --interactive with key names read a line at a time from a pipe):\n"
    "  --interactive    read keys: arrows, PgUp/PgDn, Enter (into a folder), Esc (out of a\n"
    "                   plugin's folder, then quit), F10 quit, Ins select, F1 the plugin's help,\n"
    "                   Ctrl+0..9 view modes, Ctrl+F3..F11 sort modes, Ctrl+Z descriptions\n"
    "                   on/off, Ctrl+R read again; a terminal cannot send Ctrl+digit or Ctrl+Z:\n"
    "                   type Alt+digit, Alt+Z. Boxes, menus and dialogs ask: Enter or Y = first\n"
    "                   button, N = second, 1..9 = by number, Esc = none\n"
    "  --other DIR      the other panel shows this folder; Tab switches panels, F5 copies onto\n"
    "                   the plugin's panel\n"
    "  --other-panel DLL  the plugin of this DLL file name (loaded with --host) opens its panel\n"
    "                   in the other half, from the disk menu\n"
    "\n"
    "After each key the transcript lines it caused are printed (lines starting with \">\" are\n"
    "the host's calls into the plugin, with their results; others are services the plugin\n"
    "called), then the panel; at the end the whole transcript, dialogs and problems.\n"
    "\n"
    "Exit codes: 0 clean, 1 problems found, 2 usage, 3 the plugin cannot be loaded or has no\n"
    "1.70 entry point, 4 a plugin faulted (the report names the export, the address and the\n"
    "exception; the emulator calls nothing of that plugin any more).\n";

namespace {

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

bool parseArgs(int argc, char** argv, CliOptions& o, std::string& error) {
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
        else if (a == "--far") {
            if (!value(v)) return false;
            if (v != "1.70" && v != "1.75") {
                error = "--far takes 1.70 or 1.75, not " + v;
                return false;
            }
            o.far175 = v == "1.75";
        }
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
            CliOptions::RegValue r;
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
        else if (a == "--other-panel") { if (!value(o.otherPanel)) return false; }
        else if (a == "--help" || a == "-h" || a == "/?") { o.help = true; return true; }
        else if (a == "--strict") o.strict = true;
        else if (a == "--raw") o.raw = true;
        else if (a == "--root") { if (!value(o.rootKey)) return false; }
        else if (a == "--json") { if (!value(o.jsonPath)) return false; }
        else if (a == "--codepage") {
            if (!value(v)) return false;
            o.codePage = static_cast<unsigned>(atoi(v.c_str()));
            if (!IsValidCodePage(o.codePage)) { error = "bad code page: " + v; return false; }
        } else if (a == "--menu") {
            if (!value(v)) return false;
            for (const std::string& n : splitText(v, ',')) {
                char* end = nullptr;
                long x = strtol(n.c_str(), &end, 10);
                if (n.empty() || *end) { error = "bad menu answer: " + n; return false; }
                o.menuAnswers.push_back(static_cast<int>(x));
            }
        } else if (a == "--open") {
            if (!value(v)) return false;
            std::string from = v.substr(0, v.find(':'));
            std::string item = v.find(':') == std::string::npos ? "0" : v.substr(v.find(':') + 1);
            if (from == "disk") o.openFrom = 0;
            else if (from == "plugins") o.openFrom = 1;
            else { error = "bad --open: " + v + " (disk or plugins)"; return false; }
            o.openItem = atoi(item.c_str());
        } else if (a == "--command") {
            if (!value(o.command)) return false;
            if (o.command.find(':') == std::string::npos) { error = "--command needs prefix:text"; return false; }
            o.openFrom = 4;
        }
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

}  // namespace

bool parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error) {
    return parseArgs(argc, argv, options, error);
}

}  // namespace farhost
