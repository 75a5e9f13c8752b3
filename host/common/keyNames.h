// Key names for scripts and the transcript: "Down", "Enter", "F5",
// "ShiftF5", "Ctrl+F4", "AltShiftF3", "Ctrl1", "CtrlA" ... Modifiers come
// first in any order, with or without '+'; letters are matched without
// regard to case.
#pragma once

#include <string>

namespace farhost {

// vk: the Windows virtual key; state: PKF_CONTROL | PKF_ALT | PKF_SHIFT.
bool parseKeyName(const std::string& name, int& vk, unsigned& state);
std::string keyName(int vk, unsigned state);

}  // namespace farhost
