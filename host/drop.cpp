#include "drop.h"

#include <stdio.h>

namespace farhost {

MessageCall copyQuestion(const std::vector<std::string>& names, const std::string& panelTitle) {
    MessageCall box;
    std::string what = names.size() == 1 ? "Copy \"" + names[0] + "\" to" : "Copy " + std::to_string(names.size()) + " items to";
    box.lines = {"Copy", what, panelTitle, "Copy", "Cancel"};
    box.buttons = {"Copy", "Cancel"};
    box.itemsNumber = static_cast<int>(box.lines.size());
    box.buttonsNumber = 2;
    return box;
}

std::string describePut(const PutResult& r) {
    std::string s = "PutFiles returned " + std::to_string(r.result) + "\n";
    for (size_t i = 0; i < r.names.size(); ++i) {
        bool selected = i < r.selected.size() && r.selected[i];
        s += std::string(selected ? "  still selected  " : "  deselected      ") + r.names[i] + "\n";
    }
    return s;
}

bool copyOnto(Host& host, Panel& target, FolderPanel& source, const AskFunction& ask, PutResult* result) {
    std::vector<std::string> names = source.chosen();
    if (names.empty() || target.closed()) return false;
    MessageCall question = copyQuestion(names, target.title());
    question.answer = ask ? ask(question) : 0;
    std::string line = "Host asks: " + question.lines[1] + " " + question.lines[2] + " [Copy] [Cancel] -> " +
                       std::to_string(question.answer);
    host.transcript.push_back(line);
    if (question.answer != 0) return false;

    bool fromSelection = source.anySelected();
    PutResult put = target.putFiles(source.dir(), names);
    if (fromSelection) source.keepSelected(put.names, put.selected);
    else source.reload();
    if (result) *result = put;
    return true;
}

PanelPair::PanelPair(Host& host, Panel& plugin, const std::string& folderDir)
    : host_(host), plugin_(plugin), folder_(folderDir) {}

bool PanelPair::key(int vk, unsigned state, const AskFunction& ask) {
    if (vk == VK_TAB && state == 0) {
        folderActive_ = !folderActive_;
        return true;
    }
    if (!folderActive_) return false;
    if (vk == VK_F5 && state == 0) {
        copyOnto(host_, plugin_, folder_, ask);
        return true;
    }
    if (folder_.key(vk, state)) return true;
    // Ctrl+R lists the folder again, as the host re-reads a panel.
    if (vk == 'R' && state == PKF_CONTROL) {
        folder_.reload();
        return true;
    }
    return true;   // other keys do nothing on the folder panel
}

std::string PanelPair::renderFolder(int width, int height) const { return folder_.render(width, height, folderActive_); }

}  // namespace farhost
