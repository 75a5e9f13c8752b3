// Keys from a person: key events from a console, or key names typed a line
// at a time when the input is a pipe or a terminal Wine does not deliver
// key events for. Also the answer a key gives to a box with buttons.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

namespace farhost {

class KeySource {
public:
    KeySource();                       // takes the console out of line mode
    ~KeySource();                      // and puts it back
    KeySource(const KeySource&) = delete;
    KeySource& operator=(const KeySource&) = delete;
    bool console() const { return console_; }
    // The next key; false at the end of input. Unknown names typed in line
    // mode are reported through `unknown` and skipped.
    bool next(int& vk, unsigned& state, std::string* unknown = nullptr);

private:
    HANDLE in_;
    DWORD mode_ = 0;
    bool console_ = false;
    std::deque<std::string> pending_;  // names typed on the current line, not yet used
};

// The button a key chooses in a box of `buttons` buttons: Enter or Y the
// first, N the second, 1..9 a button by its number, Esc none (-1). -2 when
// the key is no answer.
int answerForKey(int vk, unsigned state, size_t buttons);

}  // namespace farhost
