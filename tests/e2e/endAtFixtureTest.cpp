// The fixture that ends FAR's process after a chosen file operation of
// Vantorel's (zzEndAt), held to its promise in the emulator, so that a run of
// it in a real FAR can be trusted: every file operation Vantorel makes is
// counted and logged, and the chosen one ends the process only once it has
// been made. The emulator runs as its own process (farhost.exe), since the
// fixture ends the process it is loaded in.
#include "testSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct Counted {
    int number;
    std::string text;   // "Function path -> result"
};

class EndAtFixture : public ::testing::Test {
protected:
    TempDir dir{"endat"};
    TempKey key;

    std::string farDir() const { return dir / "Far\\"; }
    std::string endAtDir() const { return farDir() + "Plugins\\zzEndAt\\"; }
    std::string clockDll() const { return farDir() + "Plugins\\Clock\\clock.dll"; }

    // Vantorel, the fixture and a plain plugin to switch off (first in the list).
    void makeTree(const std::string& endAt) {
        ASSERT_TRUE(copyFolderFiles(distDir(), farDir() + "Plugins\\Vantorel\\"));
        ASSERT_TRUE(copyTree(fixtureDir("zzEndAt"), endAtDir()));
        ASSERT_TRUE(copyTree(fixtureDir("clock"), farDir() + "Plugins\\Clock\\"));
        ASSERT_TRUE(writeFile(endAtDir() + "endat.txt", endAt));
    }

    // Alt+F5 on the first plugin, its question answered Yes; the exit code.
    DWORD switchFirstOff() {
        std::string exe = buildDir() + "host\\farhost.exe";
        std::string line = "\"" + exe + "\" --host \"" + dir / "Far" + "\" --root \"" + key.path() +
                           "\\Far\\Plugins\" --keys AltF5 --answers 0 --width 100";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul;
        std::vector<char> command(line.begin(), line.end());
        command.push_back(0);
        PROCESS_INFORMATION pi = {};
        DWORD code = 0xFFFFFFFF;
        if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, 60000);
            GetExitCodeProcess(pi.hProcess, &code);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        CloseHandle(nul);
        return code;
    }

    std::vector<std::string> log() const {
        std::vector<std::string> lines = readLines(endAtDir() + "endat.log");
        for (std::string& l : lines)
            while (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.pop_back();
        return lines;
    }

    static std::vector<Counted> counted(const std::vector<std::string>& lines) {
        std::vector<Counted> out;
        for (const std::string& l : lines) {
            char* end = nullptr;
            long n = strtol(l.c_str(), &end, 10);
            if (end != l.c_str() && *end == ' ') out.push_back({static_cast<int>(n), end + 1});
        }
        return out;
    }

    static int numberOf(const std::vector<Counted>& calls, const std::string& text) {
        for (const Counted& c : calls)
            if (c.text.find(text) != std::string::npos) return c.number;
        return -1;
    }
};

TEST_F(EndAtFixture, CountsEveryFileOperationOfVantorelsChangeInOrder) {
    makeTree("0\n");
    ASSERT_EQ(0u, switchFirstOff());
    std::vector<std::string> lines = log();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(0u, lines[0].find("start pid="));
    EXPECT_NE(std::string::npos, lines[0].find("endat=0"));
    EXPECT_NE(std::string::npos, lines[1].find("patched Vantorel.dll"));
    EXPECT_NE(std::string::npos, lines[1].find(": 10 imports"));

    std::vector<Counted> calls = counted(lines);
    ASSERT_FALSE(calls.empty());
    for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(static_cast<int>(i) + 1, calls[i].number) << calls[i].text;
    std::string journal = farDir() + "Vantorel.journal";
    int written = numberOf(calls, "CreateFileA " + journal + ".new -> ok");
    int flushed = numberOf(calls, "FlushFileBuffers " + journal + ".new -> ok");
    int placed = numberOf(calls, "MoveFileExA " + journal + ".new => " + journal + " -> ok");
    int moved = numberOf(calls, "MoveFileExA " + clockDll() + " => " + clockDll() + ".off -> ok");
    int deleted = numberOf(calls, "DeleteFileA " + journal + " -> ok");
    EXPECT_EQ(1, written);
    EXPECT_EQ(3, flushed);   // the plan is through to the disk before it is a journal
    EXPECT_EQ(4, placed);    // and a journal, whole, before the first rename
    EXPECT_EQ(5, moved);
    EXPECT_EQ(static_cast<int>(calls.size()), deleted);   // the journal goes last
    EXPECT_TRUE(fileExists(clockDll() + ".off"));
    EXPECT_FALSE(fileExists(journal));
}

TEST_F(EndAtFixture, EndsTheProcessRightAfterTheChosenCallAndLeavesTheNextLineForTheNextStart) {
    makeTree("5\n0\n");   // the rename of the switch-off, as counted above
    EXPECT_EQ(9u, switchFirstOff());
    std::vector<std::string> lines = log();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("ended after call 5", lines.back());
    std::vector<Counted> calls = counted(lines);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(5, calls.back().number);
    EXPECT_EQ(0u, calls.back().text.find("MoveFileExA " + clockDll() + " => ")) << calls.back().text;
    // The call was made before the end: the DLL is renamed, the journal stays for a repair.
    EXPECT_TRUE(fileExists(clockDll() + ".off"));
    EXPECT_FALSE(fileExists(clockDll()));
    EXPECT_TRUE(fileExists(farDir() + "Vantorel.journal"));
    EXPECT_EQ("0\n", readFile(endAtDir() + "endat.txt"));
}

}  // namespace
