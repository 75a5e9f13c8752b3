// A panel over a plugin, kept the way the host keeps it: what the plugin
// says about the panel, the items copied out of its arrays, the cursor, the
// view and sort modes, and the host's own handling of keys.
#include "core/host.h"

#include "common/hostText.h"
#include "faults/faultReport.h"
#include "core/panelSort.h"

#include <string.h>

namespace farhost {

namespace {

const char kNone[] = "\x01";   // marks a text the plugin left null

constexpr int kMaxPanelModes = 10;       // Ctrl+0 .. Ctrl+9
constexpr int kMaxCustomColumns = 10;    // C0 .. C9

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

// ---- PanelEntry ---------------------------------------------------------------

PanelEntry::PanelEntry(const PanelEntry& other)
    : raw(other.raw), name(other.name), description(other.description), owner(other.owner),
      hasDescription(other.hasDescription), hasOwner(other.hasOwner), isDots(other.isDots),
      customColumns(other.customColumns) {
    repoint();
}

PanelEntry& PanelEntry::operator=(const PanelEntry& other) {
    if (this == &other) return *this;
    raw = other.raw;
    name = other.name;
    description = other.description;
    owner = other.owner;
    hasDescription = other.hasDescription;
    hasOwner = other.hasOwner;
    isDots = other.isDots;
    customColumns = other.customColumns;
    repoint();
    return *this;
}

void PanelEntry::repoint() {
    raw.Description = hasDescription ? const_cast<char*>(description.c_str()) : nullptr;
    raw.Owner = hasOwner ? const_cast<char*>(owner.c_str()) : nullptr;
    customPointers_.clear();
    for (std::string& c : customColumns) customPointers_.push_back(const_cast<char*>(c.c_str()));
    raw.CustomColumnData = customPointers_.empty() ? nullptr : customPointers_.data();
    raw.CustomColumnNumber = static_cast<int>(customPointers_.size());
}

// ---- Panel --------------------------------------------------------------------

Panel::Panel(Host* host, Plugin* plugin, HANDLE handle) : host_(host), plugin_(plugin), handle_(handle) {
    keyBar_.assign(84, kNone);
    // The host starts in its own folder, and a panel opened over it keeps that
    // until it is drawn on an item with a real name.
    shownFolder_ = host->options().hostDir;
    while (shownFolder_.size() > 3 && shownFolder_.back() == '\\') shownFolder_.pop_back();
}

bool Panel::inList() const { return curDir_.empty(); }

void Panel::refreshInfo() {
    if (closed_) return;
    OpenPluginInfo oi;
    memset(&oi, 0, sizeof oi);
    auto fn = reinterpret_cast<PFN_GetOpenPluginInfo>(plugin_->proc(Export::GetOpenPluginInfo));
    // Nothing to ask (the plugin faulted, its address is cleared): the host
    // goes on with what it had.
    if (!fn && haveInfo_) return;
    if (fn) {
        ActivePanelScope scope(host_, this);
        if (plugin_->call("GetOpenPluginInfo", [&] { fn(handle_, &oi); })) host_->record("> GetOpenPluginInfo");
        else if (haveInfo_) return;
        else memset(&oi, 0, sizeof oi);
    }
    auto text = [&](const char* p, const char* what) {
        bool terminated = true;
        std::string s = boundedText(p, kMaxPluginText, &terminated);
        if (!terminated) host_->problem(std::string("GetOpenPluginInfo: ") + what + " is not terminated");
        return s;
    };
    auto optional = [&](const char* p, const char* what) { return p ? text(p, what) : std::string(kNone); };

    title_ = text(oi.PanelTitle, "PanelTitle");
    curDir_ = text(oi.CurDir, "CurDir");
    format_ = text(oi.Format, "Format");
    hostFile_ = text(oi.HostFile, "HostFile");
    shortcutData_ = text(oi.ShortcutData, "ShortcutData");

    int modeCount = oi.PanelModesNumber;
    if (modeCount > 0 && !oi.PanelModesArray) {
        host_->problem("GetOpenPluginInfo: PanelModesNumber " + std::to_string(modeCount) + " without PanelModesArray");
        modeCount = 0;
    }
    if (modeCount < 0) modeCount = 0;
    if (modeCount > kMaxPanelModes) modeCount = kMaxPanelModes;
    modes_.assign(oi.PanelModesArray, oi.PanelModesArray + modeCount);
    modeStrings_.assign(modeCount, {});
    modeTitles_.assign(modeCount, {});
    modeTitlePtrs_.assign(modeCount, {});
    for (int i = 0; i < modeCount; ++i) {
        const PanelMode& m = oi.PanelModesArray[i];
        modeStrings_[i] = {optional(m.ColumnTypes, "ColumnTypes"), optional(m.ColumnWidths, "ColumnWidths"),
                           optional(m.StatusColumnTypes, "StatusColumnTypes"),
                           optional(m.StatusColumnWidths, "StatusColumnWidths")};
        if (m.ColumnTitles && m.ColumnTypes) {
            size_t columns = splitText(modeStrings_[i][0], ',').size();
            for (size_t c = 0; c < columns; ++c) modeTitles_[i].push_back(optional(m.ColumnTitles[c], "ColumnTitles"));
        }
    }
    // Pointers only after every string is in place: the vectors no longer move.
    for (int i = 0; i < modeCount; ++i) {
        auto ptr = [](const std::string& s) { return s == kNone ? nullptr : s.c_str(); };
        modes_[i].ColumnTypes = ptr(modeStrings_[i][0]);
        modes_[i].ColumnWidths = ptr(modeStrings_[i][1]);
        modes_[i].StatusColumnTypes = ptr(modeStrings_[i][2]);
        modes_[i].StatusColumnWidths = ptr(modeStrings_[i][3]);
        for (const std::string& t : modeTitles_[i]) modeTitlePtrs_[i].push_back(ptr(t));
        modes_[i].ColumnTitles = oi.PanelModesArray[i].ColumnTitles && !modeTitlePtrs_[i].empty()
                                     ? modeTitlePtrs_[i].data()
                                     : nullptr;
    }

    keyBar_.assign(84, kNone);
    memset(&keyBarTitles_, 0, sizeof keyBarTitles_);
    if (oi.KeyBar) {
        char* const* slots = &oi.KeyBar->Titles[0];
        for (int k = 0; k < 84; ++k) keyBar_[k] = optional(slots[k], "KeyBar label");
        char** mine = &keyBarTitles_.Titles[0];
        for (int k = 0; k < 84; ++k) mine[k] = keyBar_[k] == kNone ? nullptr : const_cast<char*>(keyBar_[k].c_str());
    }

    info_ = oi;
    info_.HostFile = oi.HostFile ? hostFile_.c_str() : nullptr;
    info_.CurDir = oi.CurDir ? curDir_.c_str() : nullptr;
    info_.Format = oi.Format ? format_.c_str() : nullptr;
    info_.PanelTitle = oi.PanelTitle ? title_.c_str() : nullptr;
    info_.ShortcutData = oi.ShortcutData ? shortcutData_.c_str() : nullptr;
    // Info lines and description files are not shown by this host.
    info_.InfoLines = nullptr;
    info_.InfoLinesNumber = 0;
    info_.DescrFiles = nullptr;
    info_.DescrFilesNumber = 0;
    info_.PanelModesArray = modes_.empty() ? nullptr : modes_.data();
    info_.PanelModesNumber = modeCount;
    info_.KeyBar = oi.KeyBar ? &keyBarTitles_ : nullptr;
    haveInfo_ = true;
}

bool Panel::read(int opMode) {
    if (closed_) return false;
    // The host asks what the panel is twice before it reads the items, and
    // once more after.
    refreshInfo();
    refreshInfo();
    if (!startApplied_) {
        startApplied_ = true;
        int start = info_.StartPanelMode;
        if (start >= '0' && start <= '9') viewMode_ = start - '0';
        else if (start != 0) host_->problem("GetOpenPluginInfo: StartPanelMode " + std::to_string(start) + " is no mode digit");
        if (info_.StartSortMode != 0) sortMode_ = info_.StartSortMode;
    }

    std::vector<PanelEntry> fresh;
    if (info_.Flags & OPIF_ADDDOTS) {
        PanelEntry dots;
        dots.isDots = true;
        dots.name = "..";
        copyBounded(dots.raw.FindData.cFileName, sizeof dots.raw.FindData.cFileName, dots.name);
        dots.raw.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        dots.repoint();
        fresh.push_back(dots);
    }

    if (auto getFindData = reinterpret_cast<PFN_GetFindData>(plugin_->proc(Export::GetFindData))) {
        PluginPanelItem* items = nullptr;
        int count = 0;
        int ok = 0;
        {
            ActivePanelScope scope(host_, this);
            ++reading_;
            bool done = plugin_->call("GetFindData", [&] { ok = getFindData(handle_, &items, &count, opMode); });
            --reading_;
            if (!done) return false;
        }
        host_->record("> GetFindData(" + hexAddress(reinterpret_cast<ULONG_PTR>(handle_)) + ", opMode " +
                      std::to_string(opMode) + ") = " + std::to_string(ok) +
                      (ok ? ", " + std::to_string(count) + " items" : std::string()));
        if (!ok) return false;
        int n = count;
        if (n < 0) {
            host_->problem("GetFindData: negative item count " + std::to_string(count));
            n = 0;
        }
        if (n > 0 && !items) {
            host_->problem("GetFindData: " + std::to_string(n) + " items but a null array");
            n = 0;
        }
        for (int i = 0; i < n; ++i) {
            const PluginPanelItem& src = items[i];
            PanelEntry e;
            e.raw = src;
            bool terminated = true;
            e.name = boundedText(src.FindData.cFileName, sizeof src.FindData.cFileName, &terminated);
            if (!terminated) {
                host_->problem("GetFindData: item " + std::to_string(i) + " has an unterminated cFileName");
                e.raw.FindData.cFileName[sizeof e.raw.FindData.cFileName - 1] = 0;
                e.name = e.raw.FindData.cFileName;
            }
            e.raw.FindData.cAlternateFileName[sizeof e.raw.FindData.cAlternateFileName - 1] = 0;
            if (src.Description) {
                e.hasDescription = true;
                e.description = boundedText(src.Description, kMaxPluginText, &terminated);
                if (!terminated) host_->problem("GetFindData: item " + quoted(e.name) + " has an unterminated Description");
            }
            if (src.Owner) {
                e.hasOwner = true;
                e.owner = boundedText(src.Owner, kMaxPluginText, &terminated);
                if (!terminated) host_->problem("GetFindData: item " + quoted(e.name) + " has an unterminated Owner");
            }
            if (src.CustomColumnNumber > 0 && src.CustomColumnData) {
                int columns = src.CustomColumnNumber < kMaxCustomColumns ? src.CustomColumnNumber : kMaxCustomColumns;
                for (int c = 0; c < columns; ++c) e.customColumns.push_back(boundedText(src.CustomColumnData[c], kMaxPluginText));
            }
            // Any item named exactly ".." is the way up to the host, whoever added it.
            if (e.name == "..") {
                e.isDots = true;
                e.raw.FindData.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
            }
            e.repoint();
            fresh.push_back(e);
        }
        // The host gives every array back at once; it keeps its own copies.
        if (auto freeFindData = reinterpret_cast<PFN_FreeFindData>(plugin_->proc(Export::FreeFindData))) {
            ActivePanelScope scope(host_, this);
            if (plugin_->call("FreeFindData", [&] { freeFindData(handle_, items, count); }))
                host_->record("> FreeFindData(" + std::to_string(count) + " items)");
        }
    }

    std::string currentName = current_ >= 0 && current_ < static_cast<int>(items_.size()) ? items_[current_].name : "";
    int oldCurrent = current_;
    items_.swap(fresh);
    sortItems();
    current_ = oldCurrent;
    for (size_t i = 0; i < items_.size(); ++i)
        if (!currentName.empty() && items_[i].name == currentName) {
            current_ = static_cast<int>(i);
            break;
        }
    setCurrent(current_);
    refreshInfo();
    return true;
}

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
        host_->record("> Compare x" + std::to_string(calls) + " (sort mode " + std::to_string(sortMode_) + ")");
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
    host_->record("> SetDirectory(" + quoted(dir) + ", " + std::to_string(opMode) + ") = " + std::to_string(result));
    return result != 0;
}

bool Panel::enter(int opMode) {
    if (closed_ || items_.empty()) return false;
    PanelEntry item = items_[current_];   // a copy: the plugin may re-read the panel meanwhile
    if (item.isDots) return setDirectory("..", opMode);
    if (!(item.raw.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        host_->record("> Enter on the file " + quoted(item.name) + ": nothing for the plugin");
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
        host_->record("> ClosePlugin(" + handle + ") not called: the plugin faulted");
        return;
    }
    auto fn = reinterpret_cast<PFN_ClosePlugin>(plugin_->proc(Export::ClosePlugin));
    if (!fn) {
        host_->record("> ClosePlugin(" + handle + ") not called: " +
                      std::string(plugin_->released() ? "its module was released"
                                                      : plugin_->faulted() ? "the plugin faulted"
                                                                           : "the host holds no address for it"));
        return;
    }
    {
        ActivePanelScope scope(host_, this);
        if (!plugin_->call("ClosePlugin", [&] { fn(handle_); })) return;
    }
    host_->record("> ClosePlugin(" + handle + ")");
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
