#include "console/terminalText.h"

#include <windows.h>

namespace farhost {

namespace {

wchar_t wideOf(unsigned char byte, unsigned codePage) {
    if (byte == '\n') return L'\n';
    if (byte < 0x20) return static_cast<wchar_t>(0x2400 + byte);
    if (byte == 0x7F) return static_cast<wchar_t>(0x2421);
    if (byte < 0x80) return static_cast<wchar_t>(byte);
    char in = static_cast<char>(byte);
    wchar_t out = L'?';
    if (MultiByteToWideChar(codePage, 0, &in, 1, &out, 1) != 1) out = L'?';
    return out;
}

}  // namespace

std::wstring terminalWideText(const std::string& oem, unsigned codePage) {
    std::wstring wide;
    wide.reserve(oem.size());
    for (unsigned char c : oem) wide += wideOf(c, codePage);
    return wide;
}

std::string terminalText(const std::string& oem, unsigned codePage) {
    std::wstring wide = terminalWideText(oem, codePage);
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

TerminalOutput::TerminalOutput(unsigned codePage, bool raw) : codePage_(codePage), raw_(raw) {
    DWORD mode;
    console_ = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    errConsole_ = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void TerminalOutput::out(const std::string& oem) const { write(GetStdHandle(STD_OUTPUT_HANDLE), console_, oem); }

void TerminalOutput::err(const std::string& oem) const { write(GetStdHandle(STD_ERROR_HANDLE), errConsole_, oem); }

void TerminalOutput::write(void* handle, bool console, const std::string& oem) const {
    DWORD written = 0;
    if (console && !raw_) {
        std::wstring wide = terminalWideText(oem, codePage_);
        for (size_t done = 0; done < wide.size();) {
            DWORD chunk = static_cast<DWORD>(wide.size() - done > 16384 ? 16384 : wide.size() - done);
            if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) return;
            done += written;
        }
        return;
    }
    // No text-mode newline translation: the bytes go as they are.
    std::string bytes = raw_ ? oem : terminalText(oem, codePage_);
    for (size_t done = 0; done < bytes.size();) {
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > 65536 ? 65536 : bytes.size() - done);
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

}  // namespace farhost
