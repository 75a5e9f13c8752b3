#include "console/interactive.h"
#include "console/hostMenuKeys.h"

#include "common/hostText.h"
#include "panels/boxText.h"
#include "console/consoleKeys.h"
#include "console/consoleScreen.h"
#include "common/keyNames.h"
#include "panels/drop.h"
#include "services/helpFile.h"

#include <memory>

namespace farhost {

namespace {

// The title of the last window drawn without buttons during the current key.
std::string g_lastDrawnTitle;

std::string answerText(const MessageCall& box) {
    std::string s = "  answer: " + std::to_string(box.answer);
    if (box.answer >= 0 && box.answer < static_cast<int>(box.buttons.size())) s += " (" + box.buttons[box.answer] + ")";
    return s + "\n";
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines = splitText(text, '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// One interactive session: the panel, the other panel, the last lines of
// the transcript, and whatever box is being asked.
class Session {
public:
    Session(Host& host, Panel& panel, const TerminalOutput& output, const InteractiveOptions& options)
        : host_(host), panel_(panel), output_(output), screen_(output) {
        width_ = options.width ? options.width : screen_.console() ? screen_.width() - 1 : 100;
        if (!options.otherDir.empty()) pair_.reset(new PanelPair(host, panel, options.otherDir));
        shown_ = host.transcript.size();
    }

    void run() {
        host_.askMessage = [this](const MessageCall& box) { return askBox(box); };
        host_.askMenu = [this](const MenuCall& menu) { return askMenu(menu); };
        host_.askDialog = [this](const DialogCall& dialog, DialogScript& script) { askDialog(dialog, script); };
        host_.onHelp = [this](const HelpCall& help) { showHelp(help.moduleName, help.topic); };
        if (!screen_.console()) {
            host_.onMessage = [this](const MessageCall& box) {
                if (box.buttons.empty()) output_.out(renderMessageBox(box, width_));
            };
        }
        status_ = keys_.console() ? "Esc back/quit  F10 quit  Ins select  F1 help  Alt+Z descr  Alt+0..9 modes"
                                  : "Type key names (e.g. Down Enter ShiftF5), one or more a line; F10 quits.";
        if (!screen_.console()) output_.out(status_ + "\n");
        draw("");
        int vk;
        unsigned state;
        std::string unknown;
        while (keys_.next(vk, state, &unknown)) {
            if (!unknown.empty()) {
                draw("unknown key name: " + unknown);
                unknown.clear();
                continue;
            }
            if (vk == VK_F10 && state == 0) {
                panel_.key(vk, state);   // offered to the plugin, then the host quits
                break;
            }
            if (!press(vk, state)) break;
            if (panel_.closed() || !host_.faults.empty()) break;
        }
        host_.askMessage = nullptr;
        host_.askMenu = nullptr;
        host_.askDialog = nullptr;
        host_.onHelp = nullptr;
        host_.onMessage = nullptr;
    }

private:
    Host& host_;
    Panel& panel_;
    const TerminalOutput& output_;
    Screen screen_;
    KeySource keys_;
    std::unique_ptr<PanelPair> pair_;
    int width_ = 100;
    size_t shown_ = 0;
    std::string status_;
    std::vector<std::string> recent_;   // transcript lines of the last key

    // False when the key ends the session.
    bool press(int vk, unsigned state) {
        // A terminal cannot send Ctrl+digit or Ctrl+Z: Alt+digit and Alt+Z stand in for them.
        if (state == PKF_ALT && ((vk >= '0' && vk <= '9') || vk == 'Z')) state = PKF_CONTROL;
        std::string title = "[" + keyName(vk, state) + "]";
        if (hostMenuKey(host_, vk, state)) {
        } else if (pair_ && pair_->takes(vk, state)) {
            pair_->key(vk, state, host_.askMessage);
        } else if (vk == VK_ESCAPE && state == 0) {
            // Esc goes to the plugin first; unhandled, it leaves the plugin's folder, then the panel.
            if (!panel_.key(vk, state)) {
                std::string dir = panel_.curDir();
                if (dir.empty()) return false;
                panel_.setDirectory("..");
            }
        } else if (vk == VK_F1 && state == 0) {
            if (!panel_.key(vk, state)) showHelp(panel_.plugin()->path(), "Contents");
        } else {
            panel_.key(vk, state);
        }
        draw(title);
        return true;
    }

    void collect() {
        recent_.clear();
        for (; shown_ < host_.transcript.size(); ++shown_) recent_.push_back("  " + host_.transcript[shown_]);
    }

    std::vector<std::string> picture(const std::string& title, const std::vector<std::string>& below,
                                     const std::string& rendered) {
        std::vector<std::string> lines;
        int height = screen_.console() ? screen_.height() - 1 : 0;
        // While a box is asked the folder panel makes room for it.
        bool folder = pair_ && below.empty();
        int reserved = static_cast<int>(below.size()) + (folder ? 10 : 0) + 5;
        std::vector<std::string> panel = linesOf(rendered);
        // Items are the lines after the title and column heads: keep a window around the cursor.
        int items = static_cast<int>(panel_.items().size());
        int room = height ? height - reserved - (static_cast<int>(panel.size()) - items) : items;
        if (room < 3) room = 3;
        if (height && items > room) {
            int first = panel_.current() - room + 1 > 0 ? panel_.current() - room + 1 : 0;
            std::vector<std::string> cut(panel.begin(), panel.begin() + 2);
            cut.insert(cut.end(), panel.begin() + 2 + first, panel.begin() + 2 + first + room);
            cut.insert(cut.end(), panel.begin() + 2 + items, panel.end());
            panel.swap(cut);
        }
        if (!screen_.console() && !title.empty()) lines.push_back(title);
        if (!screen_.console()) lines.insert(lines.end(), recent_.begin(), recent_.end());
        lines.insert(lines.end(), panel.begin(), panel.end());
        if (folder) {
            std::vector<std::string> folderLines = linesOf(pair_->renderFolder(width_, 8));
            lines.insert(lines.end(), folderLines.begin(), folderLines.end());
        }
        if (screen_.console()) {
            size_t keep = recent_.size() > 6 ? 6 : recent_.size();
            lines.push_back(title);
            lines.insert(lines.end(), recent_.end() - keep, recent_.end());
        }
        lines.insert(lines.end(), below.begin(), below.end());
        if (screen_.console()) {
            while (height && static_cast<int>(lines.size()) < height - 1) lines.push_back("");
            if (height && static_cast<int>(lines.size()) >= height) lines.resize(height - 1);
            lines.push_back(status_);
        }
        return lines;
    }

    void draw(const std::string& title, const std::vector<std::string>& below = {}) {
        // A question in line mode: the box alone, the panel was printed with the key before.
        if (!screen_.console() && !below.empty()) {
            screen_.show(below);
            return;
        }
        // Drawn first, so that what drawing asks of the plugin is among the key's lines.
        std::string rendered = panel_.render(width_);
        collect();
        screen_.show(picture(title, below, rendered));
    }

    int readAnswer(size_t buttons) {
        int vk;
        unsigned state;
        for (;;) {
            std::string unknown;
            if (!keys_.next(vk, state, &unknown)) return -1;   // end of input: as Esc
            int answer = answerForKey(vk, state, buttons);
            if (answer != -2) return answer;
        }
    }

    int askBox(const MessageCall& box) {
        std::vector<std::string> below = linesOf(renderMessageBox(box, width_));
        draw("", below);
        screen_.prompt("  Enter/Y = " + box.buttons[0] +
                       (box.buttons.size() > 1 ? ", N = " + box.buttons[1] : std::string()) + ", 1.." +
                       std::to_string(box.buttons.size()) + " by number, Esc = none: ");
        int answer = readAnswer(box.buttons.size());
        if (!screen_.console()) output_.out((answer >= 0 ? box.buttons[answer] : std::string("Esc")) + "\n");
        return answer;
    }

    int askMenu(const MenuCall& menu) {
        int current = menu.selected;
        int n = static_cast<int>(menu.items.size());
        for (;;) {
            std::vector<std::string> below = {"+-- " + menu.title + " --"};
            for (int i = 0; i < n; ++i)
                below.push_back(std::string(i == current ? "| > " : "|   ") + std::to_string(i + 1) + " " + menu.items[i]);
            below.push_back("+-- " + menu.bottom + " --");
            draw("", below);
            screen_.prompt("  Up/Down, Enter chooses, 1..9 by number, Esc = none: ");
            int vk;
            unsigned state;
            std::string unknown;
            if (!keys_.next(vk, state, &unknown)) return -1;
            if (vk == VK_ESCAPE) return -1;
            if (vk == VK_RETURN) return current;
            if (vk == VK_UP && current > 0) --current;
            if (vk == VK_DOWN && current + 1 < n) ++current;
            if (vk >= '1' && vk <= '9' && vk - '1' < n) return vk - '1';
        }
    }

    void askDialog(const DialogCall& dialog, DialogScript& script) {
        std::vector<std::string> below;
        std::vector<int> buttons, edits;
        for (size_t i = 0; i < dialog.before.size(); ++i) {
            const FarDialogItem& item = dialog.before[i];
            std::string text = boundedText(item.Data, sizeof item.Data);
            std::string line = "  [" + std::to_string(i) + "] ";
            switch (item.Type) {
            case DI_EDIT: case DI_FIXEDIT: case DI_PSWEDIT:
                edits.push_back(static_cast<int>(i));
                line += "edit: " + (item.Type == DI_PSWEDIT ? std::string(text.size(), '*') : text);
                break;
            case DI_CHECKBOX: line += std::string(item.Selected ? "[x] " : "[ ] ") + text; break;
            case DI_RADIOBUTTON: line += std::string(item.Selected ? "(*) " : "( ) ") + text; break;
            case DI_BUTTON: buttons.push_back(static_cast<int>(i)); line += "[ " + text + " ]"; break;
            default: line += text; break;
            }
            below.push_back(line);
        }
        draw("", below);
        for (int index : edits) {
            screen_.prompt("  item " + std::to_string(index) + " (Enter keeps it): ");
            std::string text;
            if (!screen_.readText(text)) break;
            if (!text.empty()) script.edits[index] = text;
        }
        draw("", below);
        std::string choices = "  Enter = OK";
        for (size_t b = 0; b < buttons.size() && b < 9; ++b)
            choices += ", " + std::to_string(b + 1) + " = " + boundedText(dialog.before[buttons[b]].Data, 64);
        screen_.prompt(choices + ", Esc = cancel: ");
        int vk;
        unsigned state;
        std::string unknown;
        script.result = -1;
        while (keys_.next(vk, state, &unknown)) {
            if (vk == VK_ESCAPE) break;
            if (vk == VK_RETURN) {
                int chosen = -1;
                for (int b : buttons)
                    if (dialog.before[b].DefaultButton) chosen = b;
                script.result = chosen >= 0 ? chosen : buttons.empty() ? 0 : buttons[0];
                break;
            }
            if (vk >= '1' && vk <= '9' && static_cast<size_t>(vk - '1') < buttons.size()) {
                script.result = buttons[vk - '1'];
                break;
            }
        }
    }

    // The host's help viewer, plain: the topic's text, any key closes it.
    void showHelp(const std::string& module, const std::string& topic) {
        std::string file = chooseHelpFile(module, host_.options().language);
        std::vector<std::string> below = {"+-- Help: " + topic + " --"};
        if (file.empty()) {
            below.push_back("| (no help file beside " + module + ")");
        } else {
            std::string content = readHelpFile(file);
            std::vector<std::string> text = helpTopicText(content, topic == "(none)" ? "Contents" : topic);
            if (text.empty()) below.push_back("| (no topic \"" + topic + "\" in " + file + ")");
            for (const std::string& line : text) below.push_back("| " + line);
        }
        below.push_back("+-- any key closes the help --");
        draw("", below);
        screen_.prompt("");
        int vk;
        unsigned state;
        keys_.next(vk, state);
    }
};

}  // namespace

void runInteractive(Host& host, Panel& panel, const TerminalOutput& output, const InteractiveOptions& options) {
    Session session(host, panel, output, options);
    session.run();
}

void boxesForNextKey() { g_lastDrawnTitle.clear(); }

void showBoxesAsDrawn(Host& host, const TerminalOutput& output, int width) {
    host.onMessage = [width, &output](const MessageCall& box) {
        std::string title = box.lines.empty() ? std::string() : box.lines[0];
        bool redrawn = box.buttons.empty() && title == g_lastDrawnTitle;
        g_lastDrawnTitle = box.buttons.empty() ? title : std::string();
        if (redrawn) return;
        output.out(renderMessageBox(box, width));
        if (!box.buttons.empty()) output.out(answerText(box));
    };
}

}  // namespace farhost
