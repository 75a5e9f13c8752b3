#include "services/services.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "panels/panel.h"
#include "services/messageBox.h"

#include <stdio.h>
#include <string.h>

namespace farhost {

namespace {

const char* controlName(int command) {
    switch (command) {
    case FCTL_CLOSEPLUGIN: return "FCTL_CLOSEPLUGIN";
    case FCTL_GETPANELINFO: return "FCTL_GETPANELINFO";
    case FCTL_GETANOTHERPANELINFO: return "FCTL_GETANOTHERPANELINFO";
    case FCTL_UPDATEPANEL: return "FCTL_UPDATEPANEL";
    case FCTL_UPDATEANOTHERPANEL: return "FCTL_UPDATEANOTHERPANEL";
    case FCTL_REDRAWPANEL: return "FCTL_REDRAWPANEL";
    case FCTL_REDRAWANOTHERPANEL: return "FCTL_REDRAWANOTHERPANEL";
    case FCTL_SETVIEWMODE: return "FCTL_SETVIEWMODE";
    case FCTL_GETPANELSHORTINFO: return "FCTL_GETPANELSHORTINFO";
    case FCTL_SETANOTHERVIEWMODE: return "FCTL_SETANOTHERVIEWMODE";
    default: return nullptr;
    }
}

// The optional parameter of FCTL_REDRAWPANEL.
struct PanelRedrawInfo {
    int CurrentItem;
    int TopPanelItem;
};

std::string describeMessage(const MessageCall& call, size_t textLines) {
    std::string s = "Message";
    if (call.flags & FMSG_WARNING) s += "[warning]";
    s += ":";
    for (size_t i = 0; i < textLines && i < call.lines.size(); ++i) s += (i ? " | " : " ") + call.lines[i];
    for (const std::string& b : call.buttons) s += " [" + b + "]";
    if (!call.helpTopic.empty()) s += " help \"" + call.helpTopic + "\"";
    if (call.buttons.empty()) s += " (drawn)";
    else s += " -> " + std::to_string(call.answer);
    return s;
}

// What the host writes for its own file panel in the other half: a folder
// panel over the current folder, with the host's default settings.
void fillFilePanelInfo(PanelInfo& pi) {
    memset(&pi, 0, sizeof pi);
    pi.PanelType = PTYPE_FILEPANEL;
    pi.Plugin = 0;
    pi.PanelRect = RECT{60, 0, 119, 37};
    pi.Visible = 1;
    pi.ViewMode = 2;
    DWORD n = GetCurrentDirectoryA(sizeof pi.CurDir, pi.CurDir);
    if (n == 0 || n >= sizeof pi.CurDir) pi.CurDir[0] = 0;
    pi.SortMode = SM_NAME;
    pi.Flags = PFLAGS_SHOWHIDDEN | PFLAGS_HIGHLIGHT | PFLAGS_REALNAMES;
}

}  // namespace

const char* WINAPI Services::getMsg(int pluginNumber, int msgId) {
    Host* host = Host::current();
    if (!host) return nullptr;
    // The record at that index, as the host looks it up.
    Plugin* plugin = pluginNumber >= 0 && pluginNumber < static_cast<int>(host->byIndex_.size())
                         ? host->byIndex_[pluginNumber]
                         : nullptr;
    if (!plugin || !plugin->record_) {
        host->transcribe("GetMsg(" + std::to_string(pluginNumber) + ", " + std::to_string(msgId) + "): no such plugin");
        return "";
    }
    return plugin->message(msgId);
}

int WINAPI Services::message(int pluginNumber, DWORD flags, const char* helpTopic, const char* const* items,
                             int itemsNumber, int buttonsNumber) {
    Host* host = Host::current();
    if (!host) return -1;
    MessageBoxText box = readMessageBox(flags, items, itemsNumber, buttonsNumber);
    for (const std::string& p : box.problems) host->problem(p);

    MessageCall call;
    call.pluginNumber = pluginNumber;
    call.flags = flags;
    call.helpTopic = boundedText(helpTopic, kMaxPluginText);
    call.lines = box.lines;
    call.itemsNumber = itemsNumber;
    call.buttonsNumber = buttonsNumber;
    call.buttons = box.buttons;
    if (call.buttons.empty()) {
        call.answer = -1;   // drawn, and it stays on screen until the next RestoreScreen
        host->onScreenBox_ = static_cast<int>(host->messages.size());
    } else if (!host->messageAnswers_.empty()) {
        call.answer = host->messageAnswers_.front();
        host->messageAnswers_.pop_front();
    } else if (host->askMessage) {
        call.answer = host->askMessage(call);
    } else {
        call.answer = host->defaultAnswer;
    }
    host->messages.push_back(call);
    host->transcribe(describeMessage(call, box.textLines));
    if (host->onMessage) host->onMessage(host->messages.back());
    return call.answer;
}

int WINAPI Services::dialog(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                            FarDialogItem* items, int itemsNumber) {
    Host* host = Host::current();
    if (!host) return -1;
    DialogCall call;
    call.pluginNumber = pluginNumber;
    call.x1 = x1, call.y1 = y1, call.x2 = x2, call.y2 = y2;
    call.helpTopic = boundedText(helpTopic, kMaxPluginText);
    if (!items && itemsNumber > 0) {
        host->problem("Dialog: null item array with " + std::to_string(itemsNumber) + " items");
        itemsNumber = 0;
    }
    for (int i = 0; i < itemsNumber; ++i) {
        FarDialogItem copy = items[i];
        if (!memchr(items[i].Data, 0, sizeof items[i].Data)) {
            host->problem("Dialog: item " + std::to_string(i) + " Data is not terminated within 512 bytes");
            copy.Data[sizeof copy.Data - 1] = 0;
        }
        call.before.push_back(copy);
        // The mask shares its room with Selected: a pointer to the plugin's text.
        bool masked = (items[i].Flags & DIF_MASKEDIT) && items[i].Type == DI_FIXEDIT;
        call.masks.push_back(masked ? boundedText(items[i].Mask, kMaxPluginText) : std::string());
    }

    DialogScript script;
    if (!host->dialogScripts_.empty()) {
        script = host->dialogScripts_.front();
        host->dialogScripts_.pop_front();
    } else if (host->askDialog) {
        host->askDialog(call, script);
    }
    for (const auto& edit : script.edits) {
        if (edit.first < 0 || edit.first >= itemsNumber) {
            host->problem("Dialog script: no item " + std::to_string(edit.first) + " to edit");
            continue;
        }
        copyBounded(items[edit.first].Data, sizeof items[edit.first].Data, edit.second);
    }
    for (const auto& check : script.checks) {
        if (check.first < 0 || check.first >= itemsNumber) {
            host->problem("Dialog script: no item " + std::to_string(check.first) + " to check");
            continue;
        }
        items[check.first].Selected = check.second;
    }
    for (int i = 0; i < itemsNumber; ++i) {
        call.after.push_back(items[i]);
        call.after.back().Data[sizeof items[i].Data - 1] = 0;
    }
    call.result = script.result;
    std::string title = itemsNumber > 0 ? boundedText(call.before[0].Data, sizeof call.before[0].Data) : "";
    host->dialogs.push_back(call);
    host->transcribe("Dialog: \"" + title + "\" " + std::to_string(itemsNumber) + " items (" + std::to_string(x1) + "," +
                     std::to_string(y1) + ")-(" + std::to_string(x2) + "," + std::to_string(y2) + ") -> " +
                     std::to_string(call.result));
    return call.result;
}

int WINAPI Services::control(HANDLE hPlugin, int command, void* param) {
    Host* host = Host::current();
    if (!host) return 0;
    const char* name = controlName(command);
    std::string what = name ? name : "command " + std::to_string(command);
    Panel* own = host->findPanel(hPlugin);
    bool another = command == FCTL_GETANOTHERPANELINFO || command == FCTL_UPDATEANOTHERPANEL ||
                   command == FCTL_REDRAWANOTHERPANEL || command == FCTL_SETANOTHERVIEWMODE;
    Panel* panel = another ? (own ? host->otherPanel(own) : nullptr) : own;
    int result = 0;
    if (command == FCTL_GETANOTHERPANELINFO && own && !panel && param) {
        // The other half is the host's own file panel.
        fillFilePanelInfo(*static_cast<PanelInfo*>(param));
        host->transcribe("Control(" + what + "): a file panel -> 1");
        return 1;
    }
    if (!panel && name && command != FCTL_CLOSEPLUGIN) {
        host->transcribe("Control(" + what + "): no such panel -> 0");
        return 0;
    }
    switch (command) {
    case FCTL_GETPANELINFO:
    case FCTL_GETANOTHERPANELINFO:
        if (!param) {
            host->problem("Control(" + what + "): null PanelInfo");
            break;
        }
        panel->fillPanelInfo(*static_cast<PanelInfo*>(param));
        result = 1;
        break;
    case FCTL_GETPANELSHORTINFO:
        if (!param) {
            host->problem("Control(" + what + "): null PanelInfo");
            break;
        }
        panel->fillShortPanelInfo(*static_cast<PanelInfo*>(param));
        result = 1;
        break;
    case FCTL_UPDATEPANEL:
    case FCTL_UPDATEANOTHERPANEL:
        if (panel->reading_) {
            host->problem("Control(" + what + ") while the panel is being read");
            break;
        }
        // The host re-reads at once; a failed listing keeps the old items.
        host->transcribe("Control(" + what + ")");
        panel->read();
        return 1;
    case FCTL_REDRAWPANEL:
    case FCTL_REDRAWANOTHERPANEL:
        if (param) panel->setCurrent(static_cast<PanelRedrawInfo*>(param)->CurrentItem);
        panel->drawn();
        result = 1;
        break;
    case FCTL_SETVIEWMODE:
    case FCTL_SETANOTHERVIEWMODE:
        if (!param) {
            host->problem("Control(" + what + "): null view mode");
            break;
        }
        panel->viewMode_ = *static_cast<int*>(param);
        what += " " + std::to_string(panel->viewMode_);
        result = 1;
        break;
    default:
        what += " (not supported here)";
        break;
    }
    host->transcribe("Control(" + what + ") -> " + std::to_string(result));
    return result;
}

HANDLE WINAPI Services::saveScreen(int x1, int y1, int x2, int y2) {
    Host* host = Host::current();
    if (!host) return nullptr;
    unsigned number = ++host->nextScreen_;
    HANDLE screen = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5C000000u + number * 16));
    host->screens_[screen] = true;
    ++host->saved_;
    host->transcribe("SaveScreen(" + std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," +
                     std::to_string(y2) + ") -> #" + std::to_string(number));
    return screen;
}

void WINAPI Services::restoreScreen(HANDLE screen) {
    Host* host = Host::current();
    if (!host) return;
    host->onScreenBox_ = -1;   // whatever was drawn over the panels is gone
    if (!screen) {
        host->transcribe("RestoreScreen(none): redraw");
        return;
    }
    uintptr_t value = reinterpret_cast<uintptr_t>(screen);
    unsigned number = static_cast<unsigned>((value - 0x5C000000u) / 16);
    auto it = host->screens_.find(screen);
    if (it == host->screens_.end()) {
        // Only screens still saved are kept: a handle the host gave out
        // earlier was restored already.
        bool ours = value > 0x5C000000u && (value - 0x5C000000u) % 16 == 0 && number <= host->nextScreen_;
        if (ours) host->problem("RestoreScreen: screen #" + std::to_string(number) + " restored twice");
        else host->problem("RestoreScreen: unknown handle " + hexAddress(value));
        return;
    }
    host->screens_.erase(it);
    for (auto r = host->reportedScreens_.begin(); r != host->reportedScreens_.end(); ++r)
        if (*r == screen) {
            host->reportedScreens_.erase(r);
            break;
        }
    ++host->restored_;
    host->transcribe("RestoreScreen(#" + std::to_string(number) + ")");
}

BOOL WINAPI Services::showHelp(const char* moduleName, const char* topic, DWORD flags) {
    Host* host = Host::current();
    if (!host) return FALSE;
    HelpCall call;
    if (!moduleName) host->problem("ShowHelp: null module name");
    call.moduleName = moduleName ? boundedText(moduleName, kMaxPluginText) : "(null)";
    call.topic = topic ? boundedText(topic, kMaxPluginText) : "(none)";
    call.flags = flags;
    host->helps.push_back(call);
    host->transcribe("ShowHelp(\"" + call.moduleName + "\", " + (topic ? "\"" + call.topic + "\"" : call.topic) + ", " +
                     hexAddress(flags) + ")");
    if (host->onHelp) host->onHelp(call);
    return TRUE;
}

void Services::fillStartupInfo(PluginStartupInfo& info, FarStandardFunctions* fsf) {
    info.Dialog = &Services::dialog;
    info.Message = &Services::message;
    info.GetMsg = &Services::getMsg;
    info.Control = &Services::control;
    info.SaveScreen = &Services::saveScreen;
    info.RestoreScreen = &Services::restoreScreen;
    info.ShowHelp = &Services::showHelp;
    info.FSF = fsf;
    fillExtraServices(info);
    fillNotEmulatedServices(info);
}

}  // namespace farhost
