// The console as the host keeps it: a picture of whole lines, of which only
// those that changed since the last picture are written again. Without a
// console (key names from a pipe) each picture is printed whole.
#pragma once

#include "console/terminalText.h"

#include <string>
#include <vector>

namespace farhost {

class Screen {
public:
    explicit Screen(const TerminalOutput& output);
    bool console() const { return console_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The picture, cut or padded to the console (one row kept for prompts).
    void show(const std::vector<std::string>& picture);
    // A line at the bottom that waits for the person (a prompt).
    void prompt(const std::string& text);
    // A line of text typed by the person (the console in line mode for it).
    bool readText(std::string& text);

private:
    const TerminalOutput& output_;
    bool console_ = false;
    int width_ = 100, height_ = 25;
    std::vector<std::string> shown_;
};

}  // namespace farhost
