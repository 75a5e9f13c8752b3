// Copying files onto a plugin's panel as a person does it in the host: the
// host's question, the copy, and what became of each item's selection.
#pragma once

#include "core/host.h"
#include "panels/panel.h"
#include "panels/folderPanel.h"

#include <functional>
#include <string>
#include <vector>

namespace farhost {

// The host's question before files go onto a plugin's panel: title "Copy",
// the line 'Copy "<name>" to' (one item) or 'Copy <n> items to', the panel's
// title; buttons Copy and Cancel.
MessageCall copyQuestion(const std::vector<std::string>& names, const std::string& panelTitle);

// What a copy came to: PutFiles' result and each item's selection, a line each.
std::string describePut(const PutResult& result);

using AskFunction = std::function<int(const MessageCall&)>;

// F5 (F6 with move) on the folder panel: the host's question (ask answers
// it; 0 is Copy), then the copy. Onto a panel that lets the host copy by
// itself (OPIF_EXTERNALPUT, browse mode) the host copies into
// hostCopyFolder(target) and deselects what went over; onto any other panel
// it calls PutFiles, reads the panel again and keeps selected what the host
// keeps (PutResult::kept). The folder panel is listed again. False when
// nothing went over (nothing chosen, or declined).
bool copyOnto(Host& host, Panel& target, FolderPanel& source, const AskFunction& ask, PutResult* result = nullptr,
              bool move = false);

// The folder the host copies into by itself, with a trailing backslash: the
// panel's shownFolder(), the folder part of the name of the current item when
// the panel was last drawn. On an item named ".." the host keeps the folder
// it had, which right after entering a folder is the folder above.
std::string hostCopyFolder(const Panel& target);

// The two panels of an interactive run: the plugin's and a folder panel.
class PanelPair {
public:
    PanelPair(Host& host, Panel& plugin, const std::string& folderDir);
    // Tab switches panels; while the folder panel is active its keys are
    // handled here (F5 copies onto the plugin's panel). False when the key
    // belongs to the plugin's panel.
    bool key(int vk, unsigned state, const AskFunction& ask);
    // Whether key() would take this key.
    bool takes(int vk, unsigned state) const { return folderActive_ || (vk == VK_TAB && state == 0); }
    bool folderActive() const { return folderActive_; }
    std::string renderFolder(int width, int height = 12) const;
    FolderPanel& folder() { return folder_; }

private:
    Host& host_;
    Panel& plugin_;
    FolderPanel folder_;
    bool folderActive_ = false;
};

}  // namespace farhost
