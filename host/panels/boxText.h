// A message box as the host draws it: the title in the frame, the text
// lines, the buttons.
#pragma once

#include "core/transcript.h"

#include <string>

namespace farhost {

std::string renderMessageBox(const MessageCall& box, int width = 100);

}  // namespace farhost
