// Small text helpers of the host emulator: plugins hand us C strings of
// unknown quality, so every read is bounded and every write states its room.
#pragma once

#include <stddef.h>
#include <string>
#include <vector>

namespace farhost {

// The longest text the host reads from a plugin before calling it unterminated.
constexpr size_t kMaxPluginText = 4096;

// Copies at most cap bytes of p (stops at the terminator). A null p gives "".
// *terminated (when asked) tells whether a terminator was found within cap.
std::string boundedText(const char* p, size_t cap, bool* terminated = nullptr);
// Writes s into dst (capacity cap, terminator included), cut when too long.
void copyBounded(char* dst, size_t cap, const std::string& s);

bool equalNoCase(const std::string& a, const std::string& b);
std::string trimBlanks(const std::string& s);           // spaces and tabs
std::vector<std::string> splitText(const std::string& s, char sep);
// "0x0000ABCD": a value in hex, at least `digits` digits (0: as many as it takes).
std::string hexAddress(unsigned long value, int digits = 8);
// The part after the last backslash (the whole text when there is none).
std::string namePart(const std::string& path);

}  // namespace farhost
