#include "panels/folderPanel.h"

#include "common/hostText.h"
#include "panels/columnLayout.h"
#include "common/findEntry.h"

#include <algorithm>

namespace farhost {

namespace {

constexpr int kPageRows = 20;

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

bool isRoot(const std::string& dir) { return dir.size() <= 3 && dir.find(':') == 1; }

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

}  // namespace

FolderPanel::FolderPanel(const std::string& dir) {
    char full[MAX_PATH] = {};
    DWORD n = GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
    dir_ = withSlash(n > 0 && n < sizeof full ? std::string(full) : dir);
    list("", {});
}

void FolderPanel::list(const std::string& keepCurrent, const std::vector<std::string>& keepSelected) {
    DWORD attr = GetFileAttributesA(dir_.c_str());
    exists_ = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
    entries_.clear();
    if (!isRoot(dir_)) {
        Entry dots;
        dots.name = "..";
        dots.folder = dots.dots = true;
        dots.data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        entries_.push_back(dots);
    }
    std::vector<Entry> found;
    for (const FarFindData& data : listFolder(dir_)) {
        Entry e;
        e.data = data;
        e.name = boundedText(data.cFileName, sizeof data.cFileName);
        e.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.selected = std::find(keepSelected.begin(), keepSelected.end(), e.name) != keepSelected.end();
        found.push_back(e);
    }
    // Folders first, then files, each by name in any case, as the host sorts by name.
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        return lower(a.name) < lower(b.name);
    });
    entries_.insert(entries_.end(), found.begin(), found.end());
    current_ = 0;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == keepCurrent) current_ = static_cast<int>(i);
}

void FolderPanel::reload() {
    std::string currentName = entries_.empty() ? "" : entries_[current_].name;
    std::vector<std::string> selected;
    for (const Entry& e : entries_)
        if (e.selected) selected.push_back(e.name);
    list(currentName, selected);
}

void FolderPanel::setCurrent(int index) {
    int n = static_cast<int>(entries_.size());
    current_ = index >= n ? n - 1 : index;
    if (current_ < 0) current_ = 0;
}

bool FolderPanel::key(int vk, unsigned state) {
    if (state != 0) return false;
    int n = static_cast<int>(entries_.size());
    switch (vk) {
    case VK_UP: setCurrent(current_ - 1); return true;
    case VK_DOWN: setCurrent(current_ + 1); return true;
    case VK_HOME: setCurrent(0); return true;
    case VK_END: setCurrent(n - 1); return true;
    case VK_PRIOR: setCurrent(current_ - kPageRows); return true;
    case VK_NEXT: setCurrent(current_ + kPageRows); return true;
    case VK_INSERT:
        if (n && !entries_[current_].dots) entries_[current_].selected = !entries_[current_].selected;
        setCurrent(current_ + 1);
        return true;
    case VK_RETURN: {
        if (!n || !entries_[current_].folder) return true;
        std::string from;
        if (entries_[current_].dots) {
            std::string d = dir_.substr(0, dir_.size() - 1);
            size_t cut = d.find_last_of('\\');
            if (cut == std::string::npos) return true;
            from = d.substr(cut + 1);
            dir_ = d.substr(0, cut + 1);
        } else {
            dir_ += entries_[current_].name + "\\";
        }
        list(from, {});
        return true;
    }
    default: return false;
    }
}

bool FolderPanel::anySelected() const {
    for (const Entry& e : entries_)
        if (e.selected) return true;
    return false;
}

std::vector<std::string> FolderPanel::chosen() const {
    std::vector<std::string> names;
    for (const Entry& e : entries_)
        if (e.selected) names.push_back(e.name);
    if (names.empty() && !entries_.empty() && !entries_[current_].dots) names.push_back(entries_[current_].name);
    return names;
}

void FolderPanel::keepSelected(const std::vector<std::string>& names, const std::vector<bool>& selected) {
    for (size_t i = 0; i < names.size() && i < selected.size(); ++i)
        for (Entry& e : entries_)
            if (e.name == names[i]) e.selected = selected[i] && e.selected;
    reload();
}

std::string FolderPanel::render(int width, int height, bool active) const {
    if (width < 30) width = 30;
    std::string title = " " + dir_ + (active ? " [active]" : "") + " ";
    int left = (width - static_cast<int>(title.size())) / 2;
    std::string out = std::string(left > 0 ? left : 0, '-') + title;
    if (static_cast<int>(out.size()) < width) out += std::string(width - out.size(), '-');
    out += "\n";
    if (!exists_) out += "   (no such folder)\n";

    int n = static_cast<int>(entries_.size());
    int first = 0, last = n;
    if (height > 0 && n > height) {
        first = current_ - height + 1 > 0 ? current_ - height + 1 : 0;
        last = first + height;
    }
    const int sizeWidth = 10, dateWidth = 8;
    int nameWidth = width - 3 - sizeWidth - dateWidth - 2;
    for (int i = first; i < last; ++i) {
        const Entry& e = entries_[i];
        std::string line;
        line += i == current_ && active ? '>' : ' ';
        line += e.selected ? '*' : ' ';
        line += ' ';
        line += fitLeft(e.name, nameWidth) + "|";
        if (e.dots) line += fitRight("Up", sizeWidth);
        else if (e.folder) line += fitRight("Folder", sizeWidth);
        else line += formatSize((static_cast<unsigned long long>(e.data.nFileSizeHigh) << 32) | e.data.nFileSizeLow,
                                false, sizeWidth);
        line += "|" + (e.dots ? std::string(dateWidth, ' ') : fitLeft(formatDate(e.data.ftLastWriteTime), dateWidth));
        out += line + "\n";
    }
    size_t count = 0;
    for (const Entry& e : entries_) count += e.selected ? 1 : 0;
    out += count ? std::to_string(count) + " item(s) selected; " : std::string();
    out += "Tab other panel, Ins select, Enter open folder, F5 copy onto the plugin's panel\n";
    return out;
}

}  // namespace farhost
