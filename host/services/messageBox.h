// How the host reads the arguments of its Message service: which texts are
// lines, which are buttons, and what it had to put up with on the way.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace farhost {

struct MessageBoxText {
    std::vector<std::string> lines;     // every item text, title first (button items too)
    std::vector<std::string> buttons;
    size_t textLines = 0;               // lines before the button items
    std::vector<std::string> problems;  // null or unterminated texts, unknown button sets
};

// Button texts for an FMSG_MB_* value in flags; false for a value the host
// does not know. No FMSG_MB_* bits gives true and no buttons.
bool buttonsFromFlags(DWORD flags, std::vector<std::string>& buttons);

// Reads items as the host does: with FMSG_ALLINONE, items is one text whose
// lines are separated by '\n'; with FMSG_MB_* flags every item is a line and
// the buttons come from the flags; otherwise the last buttonsNumber items
// are the buttons.
MessageBoxText readMessageBox(DWORD flags, const char* const* items, int itemsNumber, int buttonsNumber);

}  // namespace farhost
