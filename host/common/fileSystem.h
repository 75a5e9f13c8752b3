// File and folder helpers of the host emulator (the tests use them too).
#pragma once

#include <string>
#include <vector>

namespace farhost {

// Reads at most maxBytes of a file into content; false when it cannot be opened.
bool readFileText(const std::string& path, std::string& content, size_t maxBytes = 16u << 20);

// Copies the files of srcDir named in names (all files when empty) into destDir, creating it.
bool copyFiles(const std::string& srcDir, const std::string& destDir,
               const std::vector<std::string>& names = {});
bool makeDirs(const std::string& path);
bool removeTree(const std::string& path);
std::string uniqueTempDir(const std::string& prefix);   // created, trailing backslash

}  // namespace farhost
