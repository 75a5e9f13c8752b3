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

// The arguments as they are read, one option at a time, and the first
// error met.
struct ArgReader {
    int argc;
    char** argv;
    int i;
    std::string& error;
    std::string option;   // the option being read
    // The next value of the option; false (and error) at the end.
    bool value(std::string& into) {
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        into = argv[++i];
        return true;
    }
    bool fail(const std::string& message) {
        error = message;
        return false;
    }
};

// What an option reader made of an option: not its option, read, or wrong.
enum class Read { NotMine, Done, Failed };
Read done(bool ok) { return ok ? Read::Done : Read::Failed; }

bool parseNumbers(const std::string& text, const char* what, std::vector<int>& into, ArgReader& r) {
    for (const std::string& n : splitText(text, ',')) {
        char* end = nullptr;
        long x = strtol(n.c_str(), &end, 10);
        if (n.empty() || *end) return r.fail(std::string("bad ") + what + ": " + n);
        into.push_back(static_cast<int>(x));
    }
    return true;
}

// Where the host runs and what it loads: its folder, the plugin, the
// language, the host build, the registry.
Read whereOption(const std::string& a, ArgReader& r, CliOptions& o) {
    std::string v;
    if (a == "--host") return done(r.value(o.hostDir));
    if (a == "--plugin") return done(r.value(o.pluginPath));
    if (a == "--personal") return done(r.value(o.personal) && (o.personalGiven = true));
    if (a == "--lang") return done(r.value(o.language));
    if (a == "--root") return done(r.value(o.rootKey));
    if (a == "--only-vantorel") return done(o.onlyVantorel = true);
    if (a == "--leave") return done(r.value(v) && (o.leave.push_back(v), true));
    if (a == "--far") {
        if (!r.value(v)) return Read::Failed;
        if (v != "1.70" && v != "1.75") return done(r.fail("--far takes 1.70 or 1.75, not " + v));
        o.far175 = v == "1.75";
        return Read::Done;
    }
    if (a == "--codepage") {
        if (!r.value(v)) return Read::Failed;
        o.codePage = static_cast<unsigned>(atoi(v.c_str()));
        return done(IsValidCodePage(o.codePage) || r.fail("bad code page: " + v));
    }
    if (a == "--reg-binary") {
        CliOptions::RegValue value;
        std::string hexText;
        if (!r.value(value.subkey) || !r.value(value.name) || !r.value(hexText)) return Read::Failed;
        if (!parseHexBytes(hexText, value.bytes)) return done(r.fail("bad hex bytes: " + hexText));
        o.regValues.push_back(value);
        return Read::Done;
    }
    return Read::NotMine;
}

// How the panel is opened and what is done to it: the keys, the answers,
// the dialogs and menus, the files dropped, the other half.
Read scriptOption(const std::string& a, ArgReader& r, CliOptions& o) {
    std::string v;
    if (a == "--other") return done(r.value(o.otherDir));
    if (a == "--other-panel") return done(r.value(o.otherPanel));
    if (a == "--answers") return done(r.value(v) && parseNumbers(v, "answer", o.answers, r));
    if (a == "--menu") return done(r.value(v) && parseNumbers(v, "menu answer", o.menuAnswers, r));
    if (a == "--keys") {
        if (!r.value(v)) return Read::Failed;
        for (const std::string& k : splitText(v, ' '))
            if (!trimBlanks(k).empty()) o.keys.push_back(trimBlanks(k));
        return Read::Done;
    }
    if (a == "--dialog") {
        DialogScript script;
        if (!r.value(v)) return Read::Failed;
        if (!parseDialogScript(v, script)) return done(r.fail("bad dialog script: " + v));
        o.dialogs.push_back(script);
        return Read::Done;
    }
    if (a == "--drop") {
        if (!r.value(o.dropDir)) return Read::Failed;
        while (r.i + 1 < r.argc && strncmp(r.argv[r.i + 1], "--", 2) != 0) o.dropNames.push_back(r.argv[++r.i]);
        return done(!o.dropNames.empty() || r.fail("--drop needs names after the folder"));
    }
    if (a == "--open") {
        if (!r.value(v)) return Read::Failed;
        std::string from = v.substr(0, v.find(':'));
        std::string item = v.find(':') == std::string::npos ? "0" : v.substr(v.find(':') + 1);
        if (from == "disk") o.openFrom = 0;
        else if (from == "plugins") o.openFrom = 1;
        else return done(r.fail("bad --open: " + v + " (disk or plugins)"));
        o.openItem = atoi(item.c_str());
        return Read::Done;
    }
    if (a == "--command") {
        if (!r.value(o.command)) return Read::Failed;
        if (o.command.find(':') == std::string::npos) return done(r.fail("--command needs prefix:text"));
        o.openFrom = 4;
        return Read::Done;
    }
    return Read::NotMine;
}

// What the run shows and how it ends.
Read outputOption(const std::string& a, ArgReader& r, CliOptions& o) {
    std::string v;
    if (a == "--info") return done(o.info = true);
    if (a == "--configure") return done(o.configure = true);
    if (a == "--interactive") return done(o.interactive = true);
    if (a == "--strict") return done(o.strict = true);
    if (a == "--raw") return done(o.raw = true);
    if (a == "--json") return done(r.value(o.jsonPath));
    if (a == "--width") {
        if (!r.value(v)) return Read::Failed;
        o.width = atoi(v.c_str());
        return done((o.width >= 20 && o.width <= 1000) || r.fail("bad width: " + v));
    }
    return Read::NotMine;
}

// Checks what needs the whole command line: every key name, and a plugin to load.
bool completeOptions(CliOptions& o, std::string& error) {
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

bool parseArgs(int argc, char** argv, CliOptions& o, std::string& error) {
    ArgReader r{argc, argv, 1, error, std::string()};
    for (; r.i < argc; ++r.i) {
        std::string a = argv[r.i];
        r.option = a;
        if (a == "--help" || a == "-h" || a == "/?") {
            o.help = true;
            return true;
        }
        Read read = whereOption(a, r, o);
        if (read == Read::NotMine) read = scriptOption(a, r, o);
        if (read == Read::NotMine) read = outputOption(a, r, o);
        if (read == Read::Failed) return false;
        if (read == Read::NotMine) {
            error = "unknown option: " + a;
            return false;
        }
    }
    return completeOptions(o, error);
}

}  // namespace

bool parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error) {
    return parseArgs(argc, argv, options, error);
}

}  // namespace farhost
