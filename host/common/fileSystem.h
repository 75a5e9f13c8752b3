// File helpers of the host emulator that are not part of its public face.
#pragma once

#include <string>

namespace farhost {

// Reads at most maxBytes of a file into content; false when it cannot be opened.
bool readFileText(const std::string& path, std::string& content, size_t maxBytes = 16u << 20);

}  // namespace farhost
