// A message box as text, as the host draws it.
#include "panels/boxText.h"

#include "panels/columnLayout.h"

namespace farhost {

namespace {

constexpr DWORD kButtonFlags = 0x000F0000;   // the FMSG_MB_* field

}  // namespace

std::string renderMessageBox(const MessageCall& box, int width) {
    // Button items passed as texts are the last lines; FMSG_MB_* buttons are not among them.
    size_t textLines = box.lines.size();
    if (!(box.flags & kButtonFlags)) textLines -= box.buttons.size() < textLines ? box.buttons.size() : textLines;
    std::string buttons;
    for (const std::string& b : box.buttons) buttons += (buttons.empty() ? "[ " : " [ ") + b + " ]";

    std::string title = box.lines.empty() ? std::string() : box.lines[0];
    size_t inner = title.size() + 2;
    if (buttons.size() > inner) inner = buttons.size();
    for (size_t i = 1; i < textLines; ++i)
        if (box.lines[i].size() > inner) inner = box.lines[i].size();
    if (width >= 14 && inner > static_cast<size_t>(width - 4)) inner = width - 4;
    std::string head = " " + title.substr(0, inner) + " ";
    size_t dashes = inner + 2 > head.size() ? inner + 2 - head.size() : 0;
    std::string out = "+" + std::string(dashes / 2, '-') + head + std::string(dashes - dashes / 2, '-') + "+\n";
    for (size_t i = 1; i < textLines; ++i) {
        // A line that starts with \x01 is drawn by the host as a separator across the box.
        if (!box.lines[i].empty() && box.lines[i][0] == '\x01') out += "|" + std::string(inner + 2, '-') + "|\n";
        else out += "| " + fitLeft(box.lines[i], static_cast<int>(inner)) + " |\n";
    }
    if (!buttons.empty()) out += "| " + fitCenter(buttons, static_cast<int>(inner)) + " |\n";
    out += "+" + std::string(inner + 2, '-') + "+\n";
    return out;
}

}  // namespace farhost
