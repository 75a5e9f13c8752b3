#include "console/consoleKeys.h"

#include "common/hostText.h"
#include "common/keyNames.h"
#include "interface/farApi.h"

namespace farhost {

namespace {

bool readConsoleKey(HANDLE in, int& vk, unsigned& state) {
    INPUT_RECORD rec;
    DWORD got = 0;
    while (ReadConsoleInputA(in, &rec, 1, &got) && got == 1) {
        if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) continue;
        int code = rec.Event.KeyEvent.wVirtualKeyCode;
        if (code == VK_SHIFT || code == VK_CONTROL || code == VK_MENU || code == 0) continue;
        DWORD cs = rec.Event.KeyEvent.dwControlKeyState;
        state = 0;
        if (cs & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) state |= PKF_CONTROL;
        if (cs & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) state |= PKF_ALT;
        if (cs & SHIFT_PRESSED) state |= PKF_SHIFT;
        // A Delete without the enhanced flag is the keypad's (and every
        // Delete through a terminal): FAR 1.75 has a code of its own for it.
        vk = code == VK_DELETE && !(cs & ENHANCED_KEY) ? kNumDelKey175 : code;
        return true;
    }
    return false;
}

bool readLine(HANDLE in, std::string& line) {
    line.clear();
    char c;
    DWORD got = 0;
    while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') return true;
        if (c != '\r') line += c;
    }
    return !line.empty();
}

}  // namespace

KeySource::KeySource() : in_(GetStdHandle(STD_INPUT_HANDLE)) {
    console_ = GetConsoleMode(in_, &mode_) != 0;
    if (console_) SetConsoleMode(in_, mode_ & ~(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
}

KeySource::~KeySource() {
    if (console_) SetConsoleMode(in_, mode_);
}

bool KeySource::next(int& vk, unsigned& state, std::string* unknown) {
    if (console_) return readConsoleKey(in_, vk, state);
    for (;;) {
        while (!pending_.empty()) {
            std::string name = pending_.front();
            pending_.pop_front();
            if (parseKeyName(name, vk, state)) return true;
            if (unknown) *unknown = name;
        }
        std::string line;
        if (!readLine(in_, line)) return false;
        for (const std::string& name : splitText(line, ' '))
            if (!trimBlanks(name).empty()) pending_.push_back(trimBlanks(name));
    }
}

int answerForKey(int vk, unsigned state, size_t buttons) {
    if (state != 0 && state != PKF_SHIFT) return -2;
    if (vk == VK_ESCAPE) return -1;
    if (buttons == 0) return -2;
    if (vk == VK_RETURN || vk == 'Y') return 0;
    if (vk == 'N' && buttons >= 2) return 1;
    if (vk >= '1' && vk <= '9' && static_cast<size_t>(vk - '1') < buttons) return vk - '1';
    return -2;
}

}  // namespace farhost
