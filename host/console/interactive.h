// farhost with a person at the keyboard: keys from the console (or key names
// read a line at a time from a pipe), the panel redrawn as it changes, and
// every box, menu and dialog the plugin shows asked of the person.
#pragma once

#include "console/terminalText.h"
#include "core/host.h"

#include <string>

namespace farhost {

struct InteractiveOptions {
    int width = 0;              // 0: the console's width
    std::string otherDir;       // the folder the other panel shows; empty: none
};

// Runs until Esc at the plugin's top folder, F10, the end of input or a fault.
void runInteractive(Host& host, Panel& panel, const TerminalOutput& output, const InteractiveOptions& options);

// Boxes as they are drawn during a scripted run; a window redrawn under the
// same title (a progress window) shows once, the transcript has every drawing.
void showBoxesAsDrawn(Host& host, const TerminalOutput& output, int width);
// A new key: its first progress window shows again.
void boxesForNextKey();

}  // namespace farhost
