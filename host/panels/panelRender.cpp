// The panel as text: what a person would see on the host's screen, in a
// form tests can read. Bytes of the plugin's texts pass through unchanged.
#include "panels/panel.h"

#include "core/host.h"

#include "common/hostText.h"
#include "panels/boxText.h"
#include "panels/columnLayout.h"

#include <stdlib.h>

namespace farhost {

namespace {

const char kNone[] = "\x01";
const char kColumnSeparator = '|';
// '>' for the cursor, 'h' and 's' for the hidden and system attributes (the
// host shows such items in their own colours), '*' for a selected item.
constexpr int kMarkWidth = 4;

const char* const kDefaultKeyLabels[12] = {"Help", "Menu", "View", "Edit", "Copy", "RenMov",
                                           "MkFold", "Delete", "ConfMn", "Quit", "Plugin", "Screen"};
const char* const kKeyGroupNames[7] = {"", "Ctrl", "Alt", "Shift", "CtrlShift", "AltShift", "CtrlAlt"};

bool isFolder(const PanelEntry& e) { return (e.raw.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The host's attribute column: a letter where the attribute is set, a blank
// where it is not.
std::string attributeLetters(DWORD a) {
    std::string s;
    s += (a & FILE_ATTRIBUTE_READONLY) ? 'R' : ' ';
    s += (a & FILE_ATTRIBUTE_SYSTEM) ? 'S' : ' ';
    s += (a & FILE_ATTRIBUTE_HIDDEN) ? 'H' : ' ';
    s += (a & FILE_ATTRIBUTE_ARCHIVE) ? 'A' : ' ';
    s += (a & FILE_ATTRIBUTE_REPARSE_POINT) ? 'L' : ((a & FILE_ATTRIBUTE_SPARSE_FILE) ? '$' : ' ');
    s += (a & FILE_ATTRIBUTE_COMPRESSED) ? 'C' : ((a & FILE_ATTRIBUTE_ENCRYPTED) ? 'E' : ' ');
    s += (a & FILE_ATTRIBUTE_TEMPORARY) ? 'T' : ' ';
    s += (a & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) ? 'I' : ' ';
    return s;
}

// The size column of a folder names it instead: "Up" only for an item named
// exactly "..", whatever the path before it; the packed column shows the
// number for folders too.
std::string sizeCell(const PanelEntry& e, unsigned long long value, bool packed, bool separators, int width) {
    if (!packed && isFolder(e)) {
        std::string word = e.name == ".." ? "Up" : "Folder";
        if (static_cast<int>(word.size()) <= width - 2) word = "<" + word + ">";
        return fitRight(word, width);
    }
    return formatSize(value, separators, width);
}

std::string cell(const PanelEntry& e, const std::string& type, DWORD panelFlags, int width) {
    if (type.empty() || width <= 0) return std::string(width > 0 ? width : 0, ' ');
    std::string mods = type.substr(1);
    const FarFindData& fd = e.raw.FindData;
    switch (type[0]) {
    case 'N': {
        bool nameOnly = (panelFlags & OPIF_SHOWNAMESONLY) || mods.find('O') != std::string::npos;
        return fitLeft(nameOnly && !e.isDots ? namePart(e.name) : e.name, width);
    }
    case 'S': {
        unsigned long long size = (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        return sizeCell(e, size, false, mods.find('C') != std::string::npos, width);
    }
    case 'P': {
        unsigned long long size = (static_cast<unsigned long long>(e.raw.PackSizeHigh) << 32) | e.raw.PackSize;
        return sizeCell(e, size, true, mods.find('C') != std::string::npos, width);
    }
    case 'Z': return fitLeft(e.description, width);
    case 'O': return fitLeft(e.owner, width);
    case 'T': return fitLeft(formatTime(fd.ftLastWriteTime), width);
    case 'A': return fitRight(attributeLetters(fd.dwFileAttributes), width);
    case 'D': {
        if (mods.empty()) return fitLeft(formatDate(fd.ftLastWriteTime), width);
        const FILETIME& ft = mods[0] == 'C' ? fd.ftCreationTime : mods[0] == 'A' ? fd.ftLastAccessTime : fd.ftLastWriteTime;
        return fitLeft(formatDate(ft) + " " + formatTime(ft), width);
    }
    case 'C': {
        int index = atoi(mods.c_str());
        bool digit = !mods.empty() && mods[0] >= '0' && mods[0] <= '9';
        if (digit && index < static_cast<int>(e.customColumns.size())) return fitLeft(e.customColumns[index], width);
        return std::string(width, ' ');
    }
    default: return std::string(width, ' ');
    }
}

// The host's own view modes, for a plugin that has none: Ctrl+0..9 choose,
// Ctrl+Z adds or takes away the description column.
void hostColumns(int mode, bool descriptions, std::vector<std::string>& types, std::vector<std::string>& widths) {
    switch (mode) {
    case 0: types = {"N"}, widths = {"0"}; break;
    case 1: case 3: types = {"N", "S"}, widths = {"0", "10"}; break;
    case 4: types = {"N", "S", "P", "D", "T", "A"}, widths = {"0", "10", "10", "8", "5", "5"}; break;
    case 5: types = {"N", "Z"}, widths = {"0", "0"}; break;
    case 6: types = {"N", "S", "Z"}, widths = {"0", "10", "0"}; break;
    case 7: types = {"N", "S", "O"}, widths = {"0", "10", "12"}; break;
    default: types = {"N", "S", "D"}, widths = {"0", "10", "8"}; break;
    }
    bool hasZ = false;
    for (const std::string& t : types) hasZ = hasZ || t == "Z";
    if (descriptions && !hasZ) types.push_back("Z"), widths.push_back("0");
}

// The status line's columns: the mode's own when it names both types and
// widths, else the host's (name, size, date and time with a detailed status,
// else the name alone).
void statusColumns(const std::string& typeText, const std::string& widthText, bool detailed,
                   std::vector<std::string>& types, std::vector<std::string>& widths) {
    if (typeText != kNone && widthText != kNone) {
        types = splitText(typeText, ',');
        widths = splitText(widthText, ',');
    } else if (detailed) {
        types = {"N", "S", "D", "T"}, widths = {"0", "8", "0", "5"};
    } else {
        types = {"N"}, widths = {"0"};
    }
}

// The columns of a view mode, and of its status line.
struct Columns {
    std::vector<std::string> types, widthTexts, titles, statusTypes, statusWidthTexts;
};

// The plugin's columns for the mode when it gives that mode, else the host's own.
Columns columnsOf(const std::vector<PanelMode>& modes, const std::vector<std::vector<std::string>>& modeStrings,
                  const std::vector<std::vector<std::string>>& modeTitles, int mode, bool descriptions) {
    Columns c;
    if (mode >= 0 && mode < static_cast<int>(modes.size()) && modes[mode].ColumnTypes) {
        c.types = splitText(modeStrings[mode][0], ',');
        if (modeStrings[mode][1] != kNone) c.widthTexts = splitText(modeStrings[mode][1], ',');
        c.titles = modeTitles[mode];
        statusColumns(modeStrings[mode][2], modeStrings[mode][3], modes[mode].DetailedStatus != 0, c.statusTypes,
                      c.statusWidthTexts);
    } else {
        hostColumns(mode, descriptions, c.types, c.widthTexts);
        statusColumns(kNone, kNone, true, c.statusTypes, c.statusWidthTexts);
    }
    for (std::string& t : c.types) t = trimBlanks(t);
    for (std::string& t : c.statusTypes) t = trimBlanks(t);
    return c;
}

// The title centred in the frame's top line.
std::string titleLine(const std::string& panelTitle, int width) {
    std::string title = " " + panelTitle + " ";
    int left = (width - static_cast<int>(title.size())) / 2;
    if (left < 0) left = 0;
    std::string line = std::string(left, '=') + title;
    if (static_cast<int>(line.size()) < width) line += std::string(width - line.size(), '=');
    return line + "\n";
}

std::string headLine(const Columns& c, const std::vector<int>& widths) {
    std::string heads(kMarkWidth, ' ');
    for (size_t i = 0; i < c.types.size(); ++i) {
        if (i) heads += kColumnSeparator;
        std::string t = i < c.titles.size() && c.titles[i] != kNone ? c.titles[i] : defaultColumnTitle(c.types[i]);
        heads += fitCenter(t, widths[i]);
    }
    return heads + "\n";
}

// The key bar: the twelve labels, then a line for each group of modifiers
// the plugin labelled; each fits the screen's width, as the host's does.
std::string keyBarLines(const std::vector<std::string>& keyBar, int width) {
    std::string keys;
    for (int k = 0; k < 12; ++k) {
        if (k) keys += ' ';
        keys += std::to_string(k + 1) + (keyBar[k] == kNone ? kDefaultKeyLabels[k] : keyBar[k]);
    }
    if (static_cast<int>(keys.size()) > width) keys.resize(width);
    std::string out = keys + "\n";
    for (int g = 1; g < 7; ++g) {
        std::string group;
        for (int k = 0; k < 12; ++k) {
            const std::string& label = keyBar[g * 12 + k];
            if (label == kNone) continue;
            group += " " + std::to_string(k + 1) + label;
        }
        if (group.empty()) continue;
        std::string line = std::string(kKeyGroupNames[g]) + ":" + group;
        if (static_cast<int>(line.size()) > width) line.resize(width);
        out += line + "\n";
    }
    return out;
}

}  // namespace

std::string Panel::render(int width, int height) const {
    // The host asks for the panel's look before every redraw.
    const_cast<Panel*>(this)->refreshInfo();
    if (width < 20) width = 20;
    Columns c = columnsOf(modes_, modeStrings_, modeTitles_, viewMode_, descriptionsShown_);
    // Inside the panel's frame; columns are divided by one character.
    int textWidth = width - 2;
    std::vector<int> widths = layoutColumnWidths(c.widthTexts, c.types, textWidth - static_cast<int>(c.types.size()) + 1);
    std::vector<int> statusWidths =
        layoutColumnWidths(c.statusWidthTexts, c.statusTypes, textWidth - static_cast<int>(c.statusTypes.size()) + 1);
    std::string out = titleLine(title_, width) + headLine(c, widths);

    int n = static_cast<int>(items_.size());
    int first = 0, last = n;
    if (height > 0 && n > height) {
        first = current_ - height + 1 > 0 ? current_ - height + 1 : 0;
        last = first + height;
    }
    bool marked = false;
    for (int i = first; i < last; ++i) {
        const PanelEntry& e = items_[i];
        DWORD a = e.raw.FindData.dwFileAttributes;
        std::string line;
        line += i == current_ ? '>' : ' ';
        line += (a & FILE_ATTRIBUTE_HIDDEN) ? 'h' : ' ';
        line += (a & FILE_ATTRIBUTE_SYSTEM) ? 's' : ' ';
        line += (e.raw.Flags & PPIF_SELECTED) ? '*' : ' ';
        if (a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) marked = true;
        for (size_t col = 0; col < c.types.size(); ++col) {
            if (col) line += kColumnSeparator;
            line += cell(e, c.types[col], info_.Flags, widths[col]);
        }
        out += line + "\n";
    }

    // The status line: the current item in the mode's status columns.
    if (current_ >= 0 && current_ < n) {
        std::string line(kMarkWidth, ' ');
        for (size_t col = 0; col < c.statusTypes.size(); ++col) {
            if (col) line += ' ';
            line += cell(items_[current_], c.statusTypes[col], info_.Flags, statusWidths[col]);
        }
        out += std::string(kMarkWidth, ' ') + std::string(textWidth, '-') + "\n" + line + "\n";
    }

    if (marked)
        out += (info_.Flags & OPIF_USEATTRHIGHLIGHTING) ? "(h: hidden, s: system; the host highlights these items)\n"
                                                        : "(h: hidden, s: system)\n";
    out += keyBarLines(keyBar_, width);
    if (const MessageCall* box = host_->boxOnScreen()) out += renderMessageBox(*box, width);
    return out;
}

}  // namespace farhost
