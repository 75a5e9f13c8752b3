// Files copied onto a plugin's panel: the host hands the plugin the source
// panel's selection as PluginPanelItems, with the process standing in the
// source folder, and re-reads the plugin's panel afterwards.
#include "panels/panel.h"

#include "core/host.h"

#include "common/hostText.h"
#include "common/findEntry.h"

#include <stdio.h>
#include <string.h>

namespace farhost {

namespace {

std::string currentFolder() {
    DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return std::string();
    std::vector<char> buffer(need + 1, 0);
    DWORD got = GetCurrentDirectoryA(need + 1, buffer.data());
    return got > 0 && got <= need ? std::string(buffer.data(), got) : std::string();
}

// Stands in a folder for the length of one plugin call, as the host stands in
// the source panel's folder; the previous folder comes back however the call ends.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::string& dir) : saved_(currentFolder()) {
        entered_ = !dir.empty() && SetCurrentDirectoryA(dir.c_str());
    }
    ~CurrentFolderScope() {
        if (!saved_.empty()) SetCurrentDirectoryA(saved_.c_str());
    }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;
    bool entered() const { return entered_; }

private:
    std::string saved_;
    bool entered_ = false;
};

}  // namespace

PutResult Panel::putFiles(const std::string& sourceDir, const std::vector<std::string>& names, int opMode,
                          bool move) {
    PutResult out;
    auto putFiles = reinterpret_cast<PFN_PutFiles>(plugin_->proc("PutFiles"));
    if (closed_ || !putFiles) {
        host_->transcribe(std::string("> PutFiles: ") + (closed_ ? "the panel is closed" : "not exported"));
        return out;
    }

    std::vector<PluginPanelItem> items(names.size());
    {
        CurrentFolderScope folder(sourceDir);
        if (!folder.entered()) host_->problem("PutFiles: cannot stand in the source folder \"" + sourceDir + "\"");
        for (size_t i = 0; i < names.size(); ++i) {
            PluginPanelItem& item = items[i];
            memset(&item, 0, sizeof item);
            findEntry(names[i], item.FindData);   // a missing file is passed all the same
            memset(item.FindData.cFileName, 0, sizeof item.FindData.cFileName);
            if (names[i].size() >= sizeof item.FindData.cFileName)
                host_->problem("PutFiles: the name \"" + names[i] + "\" is longer than " +
                               std::to_string(sizeof item.FindData.cFileName - 1) + " characters; cut");
            copyBounded(item.FindData.cFileName, sizeof item.FindData.cFileName, names[i]);
            item.Flags = PPIF_SELECTED;
            out.names.push_back(item.FindData.cFileName);
        }
        ActivePanelScope scope(host_, this);
        bool done = plugin_->call("PutFiles", [&] {
            out.result = putFiles(handle_, items.empty() ? nullptr : items.data(), static_cast<int>(items.size()),
                                  move ? 1 : 0, opMode);
        });
        if (!done) return out;
    }

    host_->transcribe("> PutFiles(" + std::to_string(items.size()) + " items, move " + (move ? "1" : "0") +
                      ", opMode " + hexAddress(static_cast<DWORD>(opMode), 0) + ") = " + std::to_string(out.result));
    // The host's rule: 1 or 2 means the whole drop went over, anything else
    // leaves the choice to each item's PPIF_SELECTED.
    bool clearsAll = out.result == 1 || out.result == 2;
    for (size_t i = 0; i < items.size(); ++i) {
        bool selected = (items[i].Flags & PPIF_SELECTED) != 0;
        out.selected.push_back(selected);
        out.kept.push_back(selected && !clearsAll);
        host_->transcribe(std::string("  ") + (selected && !clearsAll ? "still selected: " : "deselected: ") +
                          out.names[i]);
    }
    out.after = items;
    read();
    return out;
}

}  // namespace farhost
