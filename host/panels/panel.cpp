// A panel over a plugin, kept the way the host keeps it: what the plugin
// says about the panel, the items copied out of its arrays, the cursor, the
// view and sort modes, and the host's own handling of keys.
#include "panels/panel.h"

#include "core/host.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "panels/panelSort.h"

#include <string.h>

namespace farhost {

namespace {

const char kNone[] = "\x01";   // marks a text the plugin left null

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

Panel::Panel(Host* host, Plugin* plugin, HANDLE handle) : host_(host), plugin_(plugin), handle_(handle) {
    keyBar_.assign(84, kNone);
    // The host starts in its own folder, and a panel opened over it keeps that
    // until it is drawn on an item with a real name.
    shownFolder_ = host->options().hostDir;
    while (shownFolder_.size() > 3 && shownFolder_.back() == '\\') shownFolder_.pop_back();
}

bool Panel::inList() const { return curDir_.empty(); }

void Panel::sortItems() {
    EntryCompare pluginCompare;
    int calls = 0;
    if (auto compare = reinterpret_cast<PFN_Compare>(plugin_->proc(Export::Compare))) {
        // After a fault the host sorts by its own rules.
        pluginCompare = [this, compare, &calls](const PanelEntry& a, const PanelEntry& b) {
            int result = -2;
            if (plugin_->call("Compare", [&] { result = compare(handle_, &a.raw, &b.raw, static_cast<unsigned>(sortMode_)); }))
                ++calls;
            return result;
        };
    }
    ActivePanelScope scope(host_, this);
    ++reading_;
    sortPanelEntries(items_, sortMode_, sortOrder_, pluginCompare);
    --reading_;
    if (calls)
        host_->transcribe("> Compare x" + std::to_string(calls) + " (sort mode " + std::to_string(sortMode_) + ")");
}

void Panel::drawn() {
    if (closed_ || !(info_.Flags & OPIF_REALNAMES)) return;
    if (current_ < 0 || current_ >= static_cast<int>(items_.size())) return;
    const std::string& name = items_[current_].name;
    if (name == "..") return;
    size_t cut = name.find_last_of('\\');
    if (cut == std::string::npos || cut == 0) return;
    // A drive's root keeps its backslash.
    shownFolder_ = name[cut - 1] == ':' ? name.substr(0, cut + 1) : name.substr(0, cut);
}

void Panel::setCurrent(int index) {
    int n = static_cast<int>(items_.size());
    if (index >= n) index = n - 1;
    if (index < 0) index = 0;
    current_ = index;
}

bool Panel::setCurrentByName(const std::string& name) {
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < items_.size(); ++i) {
            std::string shown = namePart(items_[i].name);
            if (pass == 0 ? shown == name : equalNoCase(shown, name)) {
                current_ = static_cast<int>(i);
                return true;
            }
        }
    return false;
}

void Panel::setSortMode(int mode) {
    std::string currentName = current_ < static_cast<int>(items_.size()) ? items_[current_].name : "";
    sortOrder_ = mode == sortMode_ ? -sortOrder_ : 1;
    sortMode_ = mode;
    sortItems();
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == currentName) {
            current_ = static_cast<int>(i);
            break;
        }
}

bool Panel::changeDirectory(const std::string& dir, int opMode) {
    if (closed_) return false;
    // The host looks at the panel's folder before it changes it.
    refreshInfo();
    refreshInfo();
    auto fn = reinterpret_cast<PFN_SetDirectory>(plugin_->proc(Export::SetDirectory));
    if (closed_ || !fn) return false;
    int result = 0;
    {
        ActivePanelScope scope(host_, this);
        if (!plugin_->call("SetDirectory", [&] { result = fn(handle_, dir.c_str(), opMode); })) return false;
    }
    host_->transcribe("> SetDirectory(" + quoted(dir) + ", " + std::to_string(opMode) + ") = " + std::to_string(result));
    return result != 0;
}

bool Panel::enter(int opMode) {
    if (closed_ || items_.empty()) return false;
    PanelEntry item = items_[current_];   // a copy: the plugin may re-read the panel meanwhile
    if (item.isDots) return setDirectory("..", opMode);
    if (!(item.raw.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        host_->transcribe("> Enter on the file " + quoted(item.name) + ": nothing for the plugin");
        return false;
    }
    if (!changeDirectory(item.name, opMode)) return false;
    read(opMode);
    setCurrent(0);
    redraw();
    return true;
}

bool Panel::setDirectory(const std::string& dir, int opMode) {
    std::string from = curDir_;
    while (!from.empty() && from.back() == '\\') from.pop_back();
    from = namePart(from);
    if (!changeDirectory(dir, opMode)) return false;
    read(opMode);
    setCurrent(0);
    // Back up a level, the cursor stands on the folder we came from.
    if (dir == ".." && !from.empty()) setCurrentByName(from);
    redraw();
    return true;
}

void Panel::close() {
    if (closed_) return;
    closed_ = true;
    std::string handle = hexAddress(reinterpret_cast<ULONG_PTR>(handle_));
    if (plugin_->faulted()) {
        host_->transcribe("> ClosePlugin(" + handle + ") not called: the plugin faulted");
        return;
    }
    auto fn = reinterpret_cast<PFN_ClosePlugin>(plugin_->proc(Export::ClosePlugin));
    if (!fn) {
        host_->transcribe("> ClosePlugin(" + handle + ") not called: " +
                          std::string(plugin_->released() ? "its module was released"
                                                      : plugin_->faulted() ? "the plugin faulted"
                                                                           : "the host holds no address for it"));
        return;
    }
    {
        ActivePanelScope scope(host_, this);
        if (!plugin_->call("ClosePlugin", [&] { fn(handle_); })) return;
    }
    host_->transcribe("> ClosePlugin(" + handle + ")");
}

void Panel::fillPanelInfo(PanelInfo& pi) {
    memset(&pi, 0, sizeof pi);
    // The host asks the plugin about its panel once more, inside this call;
    // a request made from inside that one asks nothing further.
    if (!askingInfo_) {
        askingInfo_ = true;
        refreshInfo();
        askingInfo_ = false;
    }
    infoEntries_ = items_;
    infoItems_.clear();
    for (const PanelEntry& e : infoEntries_) infoItems_.push_back(e.raw);
    int n = static_cast<int>(infoItems_.size());
    pi.PanelType = PTYPE_FILEPANEL;
    pi.Plugin = 1;
    pi.PanelRect = otherHalf_ ? RECT{60, 0, 119, 37} : RECT{0, 0, 59, 37};
    pi.PanelItems = n ? infoItems_.data() : nullptr;
    pi.ItemsNumber = n;
    infoSelected_.clear();
    for (const PluginPanelItem& item : infoItems_)
        if (item.Flags & PPIF_SELECTED) infoSelected_.push_back(item);
    if (!infoSelected_.empty()) {
        pi.SelectedItems = infoSelected_.data();
        pi.SelectedItemsNumber = static_cast<int>(infoSelected_.size());
    } else if (n && !infoEntries_[current_].isDots) {
        // With nothing selected the host reports the current item as the selection.
        pi.SelectedItems = &infoItems_[current_];
        pi.SelectedItemsNumber = 1;
    }
    pi.CurrentItem = current_;
    pi.TopPanelItem = 0;
    pi.Visible = 1;
    pi.Focus = host_->activePanel_ == this ? 1 : 0;
    pi.ViewMode = viewMode_;
    copyBounded(pi.CurDir, sizeof pi.CurDir, curDir_);   // at most 259 characters
    pi.SortMode = sortMode_;
    // The host's defaults for a plugin's panel, whether its names are real,
    // and whether it sorts in reverse.
    pi.Flags = PFLAGS_SHOWHIDDEN | (info_.Flags & OPIF_REALNAMES ? PFLAGS_REALNAMES : 0) |
               (sortOrder_ < 0 ? PFLAGS_REVERSESORTORDER : 0);
}

void Panel::fillShortPanelInfo(PanelInfo& pi) {
    // Asked in the middle of a sort, the item copies must stay as they are.
    std::vector<PanelEntry> entries;
    std::vector<PluginPanelItem> items, selected;
    entries.swap(infoEntries_);
    items.swap(infoItems_);
    selected.swap(infoSelected_);
    fillPanelInfo(pi);
    infoEntries_.swap(entries);
    infoItems_.swap(items);
    infoSelected_.swap(selected);
    pi.PanelItems = nullptr;
    pi.SelectedItems = nullptr;
}

}  // namespace farhost
