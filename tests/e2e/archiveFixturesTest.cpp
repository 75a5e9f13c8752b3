// The archiver and the archive plugin stand-in that the installation tests
// rely on: the archiver really extracts what it is given, by the command
// line an archive plugin would run, and tells a bad archive by its exit code;
// the format module names that archiver wherever the folder was copied to.
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() { if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};

// Runs a command line as CreateProcess gets it, its output thrown away;
// the exit code, or -1 when it did not start.
int run(const std::string& commandLine, const std::string& folder) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    Handle nul(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul.h;
    PROCESS_INFORMATION pi;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) return -1;
    Handle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

std::string archive(const char* name) { return buildDir() + "fixtures\\archives\\" + name; }

struct ExtractCase {
    const char* what;
    const char* archive;        // below fixtures\archives
    const char* switches;       // between "x" and the archive, blanks kept
    bool quoteArchive;
    int exitCode;
    std::vector<std::pair<const char*, const char*>> files;   // path below the target, content (null: any)
};

TEST(ArchiverFixture, ExtractsZipsByTheCommandLineItWasGivenAndRefusesBadOnes) {
    const std::string manual = [] {
        std::string s;
        for (int i = 0; i < 200; ++i) s += "Deflated manual line " + std::to_string(i) + ".\r\n";
        return s;
    }();
    const ExtractCase cases[] = {
        {"stored, deflated, folder, empty", "mixed.zip", " -y  -o+ ", false, 0,
         {{"readme.txt", "Stored, not compressed.\r\n"}, {"docs\\manual.txt", manual.c_str()},
          {"docs\\empty.txt", ""}}},
        {"a name with a blank, quoted", "net tools.zip", " ", true, 0,
         {{"netscan.dll", nullptr}, {"file_id.diz", "Network scanner, version 1.1\r\n"}}},
        {"a plugin folder with a subfolder", "NetTool.zip", "  ", false, 0,
         {{"nettool.dll", nullptr}, {"doc\\usage.txt", "Press F3 on a host name to ping it.\r\n"}}},
        {"an archive broken off", "bad.zip", " -y ", false, 2, {}},
        {"no such archive", "missing.zip", " ", false, 2, {}},
    };
    for (const ExtractCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir("arcx");
        std::string exe = dir / "tools\\arcx.exe";
        ASSERT_TRUE(copyFile(buildDir() + "fixtures\\archiver\\arcx.exe", exe));
        // A file that is there already, read-only even, is overwritten.
        ASSERT_TRUE(writeFile(dir / "out put\\readme.txt", "old"));
        SetFileAttributesA((dir / "out put\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        std::string source = archive(c.archive);
        std::string command = exe + " x" + c.switches + (c.quoteArchive ? "\"" + source + "\"" : source) + "   \"" +
                              dir.path() + "out put\\\"";

        EXPECT_EQ(c.exitCode, run(command, dir.path()));
        EXPECT_EQ(std::vector<std::string>{command}, readLines(exe + ".log"));
        for (const auto& f : c.files) {
            std::string path = dir / "out put\\" + f.first;
            EXPECT_TRUE(fileExists(path)) << path;
            if (f.second) {
                EXPECT_EQ(f.second, readFile(path)) << path;
            }
        }
        if (c.exitCode != 0) {
            EXPECT_FALSE(fileExists(dir / "out put\\docs")) << "nothing of a bad archive extracted";
        }
        SetFileAttributesA((dir / "out put\\readme.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The format module's command, with the brace group and the %-words taken
// out as the caller does, runs the archiver beside it: for the stand-in with
// its DLL at the top and for the one with its DLL in bin.
TEST(ArchiverFixture, FormatModuleNamesTheArchiverBesideItByAShortPath) {
    for (const char* variant : {"multiarc", "multiarcbin"}) {
        SCOPED_TRACE(variant);
        TempDir dir("fmt");
        std::string folder = dir / "Far Manager\\Plugins\\MultiArc\\";
        ASSERT_TRUE(copyTree(fixtureDir(variant), folder));
        std::string format = folder + "Formats\\ZIP.fmt";

        HMODULE module = LoadLibraryA(format.c_str());
        ASSERT_NE(nullptr, module);
        typedef BOOL(WINAPI * GetDefaultCommands)(int, int, char*);
        auto get = reinterpret_cast<GetDefaultCommands>(GetProcAddress(module, "GetDefaultCommands"));
        ASSERT_NE(nullptr, get);
        char command[400];
        memset(command, 'x', sizeof command);
        ASSERT_TRUE(get(0, 0, command));
        ASSERT_NE(nullptr, memchr(command, 0, sizeof command));
        char other[400];
        EXPECT_FALSE(get(0, 1, other));
        FreeLibrary(module);

        std::string text = command;
        const std::string tail = " x {-p%%P} -y %%A -o+";
        ASSERT_GT(text.size(), tail.size());
        EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
        std::string program = text.substr(0, text.size() - tail.size());
        EXPECT_EQ(std::string::npos, program.find(' ')) << program;
        char longForm[MAX_PATH] = {};
        ASSERT_NE(0u, GetLongPathNameA(program.c_str(), longForm, sizeof longForm)) << program;
        EXPECT_STRCASEEQ((folder + "Formats\\arcx.exe").c_str(), longForm);

        std::string run_ = program + " x  -y  -o+ " + archive("lib.beta.zip") + " " + dir.path() + "lib.beta\\";
        EXPECT_EQ(0, run(run_, dir.path()));
        EXPECT_TRUE(fileExists(dir / "lib.beta\\libbeta.dll"));
        EXPECT_EQ((std::vector<std::string>{"attach", "GetDefaultCommands 0 0", "GetDefaultCommands 0 1", "detach"}),
                  readLines(format + ".log"));
    }
}

}  // namespace
