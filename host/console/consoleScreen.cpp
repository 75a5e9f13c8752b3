#include "console/consoleScreen.h"

#include <windows.h>

namespace farhost {

Screen::Screen(const TerminalOutput& output) : output_(output) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    console_ = output.console() && GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info);
    if (console_) {
        width_ = info.srWindow.Right - info.srWindow.Left + 1;
        height_ = info.srWindow.Bottom - info.srWindow.Top + 1;
    }
}

void Screen::show(const std::vector<std::string>& picture) {
    if (!console_) {
        std::string all;
        for (const std::string& line : picture) all += line + "\n";
        output_.out(all);
        return;
    }
    HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    if (shown_.empty()) {
        // The first picture starts from a clean console: nothing printed before stays in its margins.
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(h, &info)) {
            DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y), done = 0;
            COORD origin = {0, 0};
            FillConsoleOutputCharacterA(h, ' ', cells, origin, &done);
            FillConsoleOutputAttribute(h, info.wAttributes, cells, origin, &done);
        }
    }
    int rows = height_ - 1;
    for (int row = 0; row < rows; ++row) {
        std::string line = row < static_cast<int>(picture.size()) ? picture[row] : std::string();
        if (static_cast<int>(line.size()) > width_ - 1) line.resize(width_ - 1);
        line.resize(width_ - 1, ' ');
        if (row < static_cast<int>(shown_.size()) && shown_[row] == line) continue;
        COORD at = {0, static_cast<SHORT>(row)};
        SetConsoleCursorPosition(h, at);
        output_.out(line);
        if (static_cast<int>(shown_.size()) <= row) shown_.resize(row + 1);
        shown_[row] = line;
    }
    COORD rest = {0, static_cast<SHORT>(rows)};
    SetConsoleCursorPosition(h, rest);
}

void Screen::prompt(const std::string& text) {
    if (!console_) {
        output_.out(text);
        return;
    }
    COORD at = {0, static_cast<SHORT>(height_ - 1)};
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), at);
    std::string line = text.substr(0, width_ - 1);
    output_.out(line + std::string(width_ - 1 - line.size(), ' '));
    at.X = static_cast<SHORT>(line.size());
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), at);
}

bool Screen::readText(std::string& text) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    bool console = GetConsoleMode(in, &mode) != 0;
    if (console) SetConsoleMode(in, mode | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    text.clear();
    char c;
    DWORD got = 0;
    bool ok = false;
    while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
        ok = true;
        if (c == '\n') break;
        if (c != '\r') text += c;
    }
    if (console) SetConsoleMode(in, mode);
    shown_.clear();   // the echo moved things about
    return ok;
}

}  // namespace farhost
