#include "panels/drop.h"

#include "common/hostText.h"
#include "common/findEntry.h"

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

namespace {

// Copies or moves one file or folder tree as the host's own copy does:
// existing files are replaced, folders merged. False when any step failed.
bool copyOnDisk(const std::string& from, const std::string& to, bool move) {
    DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (move) return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
    }
    bool ok = CreateDirectoryA(to.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    for (const FarFindData& entry : listFolder(from + "\\")) {
        std::string name = boundedText(entry.cFileName, sizeof entry.cFileName);
        ok = copyOnDisk(from + "\\" + name, to + "\\" + name, move) && ok;
    }
    if (ok && move) ok = RemoveDirectoryA(from.c_str()) != 0;
    return ok;
}

}  // namespace

std::string hostCopyFolder(const Panel& target) {
    // The folder the host took from the last drawing of the panel.
    std::string folder = target.shownFolder();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

bool copyOnto(Host& host, Panel& target, FolderPanel& source, const AskFunction& ask, PutResult* result, bool move) {
    std::vector<std::string> names = source.chosen();
    if (names.empty() || target.closed()) return false;
    bool byHost = (target.info().Flags & OPIF_EXTERNALPUT) != 0;
    std::string folder = byHost ? hostCopyFolder(target) : std::string();
    MessageCall question = copyQuestion(names, byHost ? folder : target.title());
    question.answer = ask ? ask(question) : 0;
    std::string line = "Host asks: " + question.lines[1] + " " + question.lines[2] + " [Copy] [Cancel] -> " +
                       std::to_string(question.answer);
    host.transcript.push_back(line);
    if (question.answer != 0) return false;

    bool fromSelection = source.anySelected();
    if (byHost) {
        // The panel lets the host copy by itself: no PutFiles, straight into
        // the folder the copy dialog offered.
        std::vector<bool> kept;
        for (const std::string& name : names) {
            bool ok = !folder.empty() && copyOnDisk(source.dir() + name, folder + name, move);
            kept.push_back(!ok);
            host.transcript.push_back(std::string(move ? "Host moves " : "Host copies ") + source.dir() + name +
                                      " to " + folder + name + (ok ? "" : ": failed"));
        }
        if (fromSelection) source.keepSelected(names, kept);
        else source.reload();
        target.read();
        return true;
    }
    PutResult put = target.putFiles(source.dir(), names, 0, move);
    if (fromSelection) source.keepSelected(put.names, put.kept);
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
    if ((vk == VK_F5 || vk == VK_F6) && state == 0) {
        copyOnto(host_, plugin_, folder_, ask, nullptr, vk == VK_F6);
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
