// The host's screen is an OEM console; a terminal or a pipe today speaks
// UTF-8. Texts bound for either are converted from the OEM code page, and the
// control characters a plugin's texts may carry (TAB, ^H, ^L, ESC ...) are
// shown as visible symbols (the Unicode control pictures, one column each,
// so that columns stay aligned) instead of reaching the terminal raw.
#pragma once

#include <string>

namespace farhost {

// OEM text (lines separated by '\n') as UTF-8; every other byte below 0x20,
// and 0x7F, becomes its control picture (U+2400 + byte, U+2421).
std::string terminalText(const std::string& oem, unsigned codePage);

// The same as UTF-16, for a console that takes wide text.
std::wstring terminalWideText(const std::string& oem, unsigned codePage);

// Where and how the command-line host writes: converted (default) or raw
// bytes; to a console (wide writes, so that the console does no conversion
// of its own) or to a file or pipe (UTF-8 bytes).
class TerminalOutput {
public:
    TerminalOutput(unsigned codePage, bool raw);
    void out(const std::string& oem) const;   // standard output
    void err(const std::string& oem) const;   // standard error
    bool console() const { return console_; }
    unsigned codePage() const { return codePage_; }

private:
    void write(void* handle, bool console, const std::string& oem) const;
    unsigned codePage_;
    bool raw_;
    bool console_ = false;
    bool errConsole_ = false;
};

}  // namespace farhost
