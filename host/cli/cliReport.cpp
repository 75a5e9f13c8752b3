// What the command-line host prints of a run: the plugin's answers, the
// dialogs, the transcript and the problems; and the exit code they make.
#include "cli/cliReport.h"

#include "common/hostText.h"

#include <stdio.h>
#include <string.h>

namespace farhost {

namespace {

std::string menuList(Host& host, const char* label, const char* const* strings, int count) {
    std::string s = std::string(label) + ": " + std::to_string(count) + (strings ? " (list set)" : " (no list)") + "\n";
    for (int i = 0; strings && i < count; ++i) {
        if (!strings[i]) host.problems.push_back(std::string(label) + "[" + std::to_string(i) + "] is a null text");
        s += "  [" + std::to_string(i) + "] " + (strings[i] ? "\"" + boundedText(strings[i], kMaxPluginText) + "\"" : "(null)") + "\n";
    }
    return s;
}

}  // namespace

std::string printInfo(Host& host, Plugin& plugin) {
    std::string s;
    if (!plugin.has("GetMinFarVersion")) {
        s += "GetMinFarVersion: not exported\n";
    } else {
        int version = plugin.getMinFarVersion();
        s += "GetMinFarVersion: " + hexAddress(static_cast<unsigned long>(version)) + " (" +
             std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF) + ")\n";
    }
    if (!plugin.has("GetPluginInfo")) return s + "GetPluginInfo: not exported\n";
    PluginInfo info = plugin.getPluginInfo();
    if (plugin.faulted()) return s + "GetPluginInfo: faulted\n";
    s += "StructSize: " + std::to_string(info.StructSize) + "\n";
    s += "Flags: " + hexAddress(info.Flags, 0) + "\n";
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

namespace {

const char* itemTypeName(int type) {
    static const char* const kNames[] = {"TEXT", "VTEXT", "SINGLEBOX", "DOUBLEBOX", "EDIT",
                                         "PSWEDIT", "FIXEDIT", "BUTTON", "CHECKBOX", "RADIOBUTTON"};
    return type >= 0 && type < 10 ? kNames[type] : "?";
}

}  // namespace

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
        if (i < d.masks.size() && !d.masks[i].empty()) {
            // The mask shares its room with Selected: show its text, not the pointer.
            snprintf(line, sizeof line, "  [%2u] %-11s (%d,%d)-(%d,%d) focus=%d mask=\"%s\" flags=0x%lX default=%d ",
                     static_cast<unsigned>(i), itemTypeName(a.Type), a.X1, a.Y1, a.X2, a.Y2, a.Focus,
                     d.masks[i].substr(0, 32).c_str(), static_cast<unsigned long>(a.Flags), a.DefaultButton);
        }
        s += line;
        s += "\"" + std::string(a.Data) + "\"";
        if (strcmp(a.Data, b.Data) != 0) s += " (was \"" + std::string(b.Data) + "\")";
        if (a.Selected != b.Selected && (i >= d.masks.size() || d.masks[i].empty())) s += " (selected was " + std::to_string(b.Selected) + ")";
        s += "\n";
    }
    s += "  result: " + std::to_string(d.result) + "\n";
    return s;
}

std::string printReport(Host& host) {
    std::string s = "--- transcript ---\n";
    for (const std::string& line : host.transcript) s += line + "\n";
    if (!host.helps.empty()) {
        s += "--- help requests ---\n";
        for (const HelpCall& h : host.helps) s += "ShowHelp \"" + h.moduleName + "\" topic " + h.topic + " flags " + hexAddress(h.flags) + "\n";
    }
    for (const DialogCall& d : host.dialogs) s += printDialog(d);
    s += "--- problems ---\n";
    if (host.problems.empty()) s += "(none)\n";
    for (const std::string& p : host.problems) s += p + "\n";
    return s;
}

int exitCodeOf(const Host& host, bool strict) {
    if (!host.faults.empty()) return kExitFaulted;
    size_t counted = host.problems.size();
    if (!strict) counted -= static_cast<size_t>(host.notEmulatedCalls()) < counted ? host.notEmulatedCalls() : counted;
    return counted > 0 ? kExitProblems : kExitClean;
}

}  // namespace farhost
