// Shared helpers of the test programs: temporary folders, files, registry keys.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under %TEMP%, removed with everything in it at destruction.
class TempDir {
public:
    explicit TempDir(const char* hint = "t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }   // ends with a backslash
    std::string operator/(const std::string& rel) const { return path_ + rel; }
private:
    std::string path_;
};

// A registry key path under HKEY_CURRENT_USER unique to this test, removed at destruction.
class TempKey {
public:
    TempKey();
    ~TempKey();
    const std::string& path() const { return path_; }
private:
    std::string path_;
};

bool writeFile(const std::string& path, const std::string& bytes);   // creates parent folders
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
bool makeDirs(const std::string& path);
bool removeTree(const std::string& path);
bool copyFile(const std::string& from, const std::string& to);      // creates parent folders
// Copies every file (not subfolders) of folder `from` into folder `to`.
bool copyFolderFiles(const std::string& from, const std::string& to);
// Copies a whole folder tree.
bool copyTree(const std::string& from, const std::string& to);
std::vector<std::string> readLines(const std::string& path);

// Where the build put things (Windows paths with trailing backslash).
std::string buildDir();
std::string distDir();                  // Vantorel.dll (the tests' stack-protected build) and its language files
std::string fixtureDir(const std::string& name);

// Sets a file's last-write time (FILETIME as a 64-bit count).
bool setWriteTime(const std::string& path, unsigned long long filetime);
unsigned long long writeTime(const std::string& path);

// Creates a symbolic link (a Unix one: Wine shows it as a linked folder) at
// linkPath pointing to target; false when the platform cannot make one.
bool makeFolderLink(const std::string& linkPath, const std::string& target);

}  // namespace testing_support
