// What a panel reads from its plugin: what the plugin says the panel is
// (GetOpenPluginInfo, its texts copied and checked) and the items
// (GetFindData, copied out of the plugin's array, then FreeFindData).
#include "panels/panel.h"

#include "common/hostText.h"
#include "core/host.h"
#include "panels/panelSort.h"

#include <string.h>

namespace farhost {

namespace {

const char kNone[] = "\x01";   // marks a text the plugin left null

constexpr int kMaxPanelModes = 10;       // Ctrl+0 .. Ctrl+9
constexpr int kMaxCustomColumns = 10;    // C0 .. C9

std::string quoted(const std::string& s) { return "\"" + s + "\""; }
const char* pointerTo(const std::string& s) { return s == kNone ? nullptr : s.c_str(); }

}  // namespace

std::string Panel::infoText(const char* text, const char* what) {
    bool terminated = true;
    std::string s = boundedText(text, kMaxPluginText, &terminated);
    if (!terminated) host_->problem(std::string("GetOpenPluginInfo: ") + what + " is not terminated");
    return s;
}

std::string Panel::optionalText(const char* text, const char* what) {
    return text ? infoText(text, what) : std::string(kNone);
}

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
        if (plugin_->call("GetOpenPluginInfo", [&] { fn(handle_, &oi); })) host_->transcribe("> GetOpenPluginInfo");
        else if (haveInfo_) return;
        else memset(&oi, 0, sizeof oi);
    }
    title_ = infoText(oi.PanelTitle, "PanelTitle");
    curDir_ = infoText(oi.CurDir, "CurDir");
    format_ = infoText(oi.Format, "Format");
    hostFile_ = infoText(oi.HostFile, "HostFile");
    shortcutData_ = infoText(oi.ShortcutData, "ShortcutData");
    int modeCount = keepModes(oi);
    keepKeyBar(oi);

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

int Panel::keepModes(const OpenPluginInfo& oi) {
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
        modeStrings_[i] = {optionalText(m.ColumnTypes, "ColumnTypes"), optionalText(m.ColumnWidths, "ColumnWidths"),
                           optionalText(m.StatusColumnTypes, "StatusColumnTypes"),
                           optionalText(m.StatusColumnWidths, "StatusColumnWidths")};
        if (m.ColumnTitles && m.ColumnTypes) {
            size_t columns = splitText(modeStrings_[i][0], ',').size();
            for (size_t c = 0; c < columns; ++c)
                modeTitles_[i].push_back(optionalText(m.ColumnTitles[c], "ColumnTitles"));
        }
    }
    // Pointers only after every string is in place: the vectors no longer move.
    for (int i = 0; i < modeCount; ++i) {
        modes_[i].ColumnTypes = pointerTo(modeStrings_[i][0]);
        modes_[i].ColumnWidths = pointerTo(modeStrings_[i][1]);
        modes_[i].StatusColumnTypes = pointerTo(modeStrings_[i][2]);
        modes_[i].StatusColumnWidths = pointerTo(modeStrings_[i][3]);
        for (const std::string& t : modeTitles_[i]) modeTitlePtrs_[i].push_back(pointerTo(t));
        modes_[i].ColumnTitles = oi.PanelModesArray[i].ColumnTitles && !modeTitlePtrs_[i].empty()
                                     ? modeTitlePtrs_[i].data()
                                     : nullptr;
    }
    return modeCount;
}

void Panel::keepKeyBar(const OpenPluginInfo& oi) {
    keyBar_.assign(84, kNone);
    memset(&keyBarTitles_, 0, sizeof keyBarTitles_);
    if (!oi.KeyBar) return;
    char* const* slots = &oi.KeyBar->Titles[0];
    for (int k = 0; k < 84; ++k) keyBar_[k] = optionalText(slots[k], "KeyBar label");
    char** mine = &keyBarTitles_.Titles[0];
    for (int k = 0; k < 84; ++k) mine[k] = keyBar_[k] == kNone ? nullptr : const_cast<char*>(keyBar_[k].c_str());
}

bool Panel::read(int opMode) {
    if (closed_) return false;
    // The host asks what the panel is twice before it reads the items, and
    // once more after.
    refreshInfo();
    refreshInfo();
    applyStartModes();
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
    if (!readItems(opMode, fresh)) return false;

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

void Panel::applyStartModes() {
    if (startApplied_) return;
    startApplied_ = true;
    int start = info_.StartPanelMode;
    if (start >= '0' && start <= '9') viewMode_ = start - '0';
    else if (start != 0) host_->problem("GetOpenPluginInfo: StartPanelMode " + std::to_string(start) + " is no mode digit");
    if (info_.StartSortMode != 0) sortMode_ = info_.StartSortMode;
}

bool Panel::readItems(int opMode, std::vector<PanelEntry>& fresh) {
    auto getFindData = reinterpret_cast<PFN_GetFindData>(plugin_->proc(Export::GetFindData));
    if (!getFindData) return true;
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
    host_->transcribe("> GetFindData(" + hexAddress(reinterpret_cast<ULONG_PTR>(handle_)) + ", opMode " +
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
    for (int i = 0; i < n; ++i) fresh.push_back(copyItem(items[i], i));
    // The host gives every array back at once; it keeps its own copies.
    if (auto freeFindData = reinterpret_cast<PFN_FreeFindData>(plugin_->proc(Export::FreeFindData))) {
        ActivePanelScope scope(host_, this);
        if (plugin_->call("FreeFindData", [&] { freeFindData(handle_, items, count); }))
            host_->transcribe("> FreeFindData(" + std::to_string(count) + " items)");
    }
    return true;
}

PanelEntry Panel::copyItem(const PluginPanelItem& src, int index) {
    PanelEntry e;
    e.raw = src;
    bool terminated = true;
    e.name = boundedText(src.FindData.cFileName, sizeof src.FindData.cFileName, &terminated);
    if (!terminated) {
        host_->problem("GetFindData: item " + std::to_string(index) + " has an unterminated cFileName");
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
    return e;
}

}  // namespace farhost
