// farhost as another plugin's author runs it in CI: one process per run, a
// plugin of theirs given with --plugin, the exit code and the printed
// transcript and problems as the verdict.
#include "testSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct HostRun {
    DWORD exitCode = 0xFFFFFFFF;
    DWORD processId = 0;
    std::string out;   // standard output, bytes as written
};

// Runs build\host\farhost.exe with the arguments, its output into a file.
HostRun runHost(const std::string& args, const TempDir& dir) {
    HostRun run;
    std::string outPath = dir / "out.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = nul;
    si.hStdInput = nul;
    std::string exe = buildDir() + "host\\farhost.exe";
    std::string line = "\"" + exe + "\" " + args;
    std::vector<char> command(line.begin(), line.end());
    command.push_back(0);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
        run.processId = pi.dwProcessId;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    CloseHandle(nul);
    run.out = readFile(outPath);
    return run;
}

std::vector<std::string> section(const std::string& out, const std::string& head) {
    std::vector<std::string> lines;
    size_t at = out.find("--- " + head + " ---\n");
    if (at == std::string::npos) return lines;
    size_t pos = out.find('\n', at) + 1;
    while (pos < out.size() && out.compare(pos, 4, "--- ") != 0) {
        size_t end = out.find('\n', pos);
        if (end == std::string::npos) end = out.size();
        lines.push_back(out.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

// The first line holding text.
int indexOf(const std::vector<std::string>& lines, const std::string& text) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
}

// The run's own registry base (Software\VantorelTests\<pid>-<n>) is gone.
bool registryLeftBy(DWORD processId) {
    HKEY tests;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VantorelTests", 0, KEY_READ, &tests) != ERROR_SUCCESS) return false;
    std::string prefix = std::to_string(processId) + "-";
    bool left = false;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(tests, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        left = left || std::string(name).compare(0, prefix.size(), prefix) == 0;
    }
    RegCloseKey(tests);
    return left;
}

}  // namespace

TEST(HostCommandLine, EachPluginVariantEndsWithItsExitCodeItsOneProblemAndTheTranscriptUpToIt) {
    struct Case {
        const char* fixture;
        const char* args;
        DWORD exitCode;
        const char* problem;    // the start of the only problem line; "" = none
        const char* before;     // a transcript line that comes before the problem
        const char* absent;     // a transcript line that must not come at all
    } cases[] = {
        {"panel", "--keys \"Enter\"", 0, "", "> SetDirectory(\"Folder\", 0) = 1", "PROBLEM"},
        {"paneldecorated", "", 3, "exports decorated names (SetStartupInfo@4", "", "> SetStartupInfo"},
        {"panelfault", "--keys \"Down Enter\"", 4,
         "GetFindData faulted: write to 0x00000000 at panelfault.dll+0x", "> OpenPlugin(0, 0) = 0x00C0FFEE",
         "> ProcessKey("},
        {"paneldoublefree", "--keys \"Down\"", 4,
         "FreeFindData faulted: a block freed twice (or never allocated), freed at paneldoublefree.dll+0x",
         "> GetFindData(0x00C0FFEE, opMode 0) = 1, 5 items", "> ProcessKey("},
        {"panelviewer", "--keys \"F3\"", 0, "plugin called Viewer, which is not emulated", "> OpenPlugin(", ""},
        {"panelviewer", "--keys \"F3\" --strict", 1, "plugin called Viewer, which is not emulated", "> OpenPlugin(",
         ""},
        {"panelscreen", "--keys \"F5 Down\"", 1, "after key F5: 1 saved screen(s) never restored",
         "SaveScreen(0,0,-1,-1) -> #1", ""},
        {"panelunterminated", "", 1, "GetFindData: item 1 has an unterminated cFileName", "> GetFindData(", ""},
        // A record of older declarations (340 bytes) on a stack-protected plugin's stack: the host writes all
        // 496 bytes, and the plugin's own stack check ends the call.
        {"calllogold", "", 4,
         "GetOpenPluginInfo faulted: a stack frame's guard was overwritten", "> OpenPlugin(0, 0) = 0x0000CA11",
         "> GetFindData("},
        {"panelthread", "--keys \"Down\"", 4,
         "a fault outside the calls the host guards: write to 0x00000000 at panelthread.dll+0x", "> SetStartupInfo",
         "> ProcessKey("},
    };
    for (const Case& c : cases) {
        TempDir dir("cli");
        ASSERT_TRUE(copyTree(fixtureDir(c.fixture), dir / "plugin\\")) << c.fixture;
        HostRun run = runHost("--plugin \"" + dir / "plugin\\" + c.fixture + ".dll\" " + c.args, dir);
        std::string what = std::string(c.fixture) + " " + c.args;
        EXPECT_EQ(c.exitCode, run.exitCode) << what << "\n" << run.out;

        std::vector<std::string> problems = section(run.out, "problems");
        ASSERT_EQ(1u, problems.size()) << what << "\n" << run.out;
        if (!*c.problem) {
            EXPECT_EQ("(none)", problems[0]) << what;
        } else {
            EXPECT_NE(std::string::npos, problems[0].find(c.problem)) << what << ": " << problems[0];
        }
        if (std::string(c.fixture) == "paneldecorated") {
            EXPECT_NE(std::string::npos, problems[0].find("SetStartupInfo@4")) << problems[0];
            EXPECT_NE(std::string::npos, problems[0].find("--kill-at")) << problems[0];
        }

        std::vector<std::string> transcript = section(run.out, "transcript");
        int problemAt = -1;
        for (size_t i = 0; *c.problem && problemAt < 0 && i < transcript.size(); ++i)
            if (transcript[i].compare(0, 9, "PROBLEM: ") == 0 && transcript[i].find(c.problem) != std::string::npos)
                problemAt = static_cast<int>(i);
        if (*c.problem) {
            EXPECT_GE(problemAt, 0) << what << ": the problem is in the transcript where it happened";
        }
        if (*c.before) {
            int beforeAt = indexOf(transcript, c.before);
            EXPECT_GE(beforeAt, 0) << what << ": " << c.before;
            if (problemAt >= 0) {
                EXPECT_LT(beforeAt, problemAt) << what;
            }
        }
        if (*c.absent) {
            EXPECT_EQ(-1, indexOf(transcript, c.absent)) << what << ": " << c.absent;
        }
        for (const std::string& line : transcript) {
            if (c.exitCode == 4) {
                EXPECT_NE("> ClosePlugin(0x00C0FFEE)", line) << what << ": a faulted plugin is not called";
            }
        }
        EXPECT_FALSE(registryLeftBy(run.processId)) << what;
    }
}

TEST(HostCommandLine, PluginTextReachesThePipeAsUtf8WithControlCharactersMadeVisible) {
    TempDir dir("cli");
    ASSERT_TRUE(copyTree(fixtureDir("panel"), dir / "plugin\\"));
    std::string plugin = "--plugin \"" + dir / "plugin\\panel.dll\"";
    HostRun run = runHost(plugin + " --codepage 866 --width 120 --keys \"CtrlZ\"", dir);
    ASSERT_EQ(0u, run.exitCode) << run.out;
    for (unsigned char c : run.out) {
        ASSERT_FALSE((c < 0x20 && c != '\n') || c == 0x7F) << "raw control byte " << int(c) << "\n" << run.out;
    }
    EXPECT_NE(std::string::npos, run.out.find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82")) << "866 text as UTF-8";
    EXPECT_NE(std::string::npos, run.out.find("\xE2\x96\x88\xE2\x96\x88\xE2\x96\x88\xE2\x96\x91\xE2\x96\x91"))
        << "the progress bar's blocks";
    EXPECT_NE(std::string::npos, run.out.find("tab\xE2\x90\x89here bs\xE2\x90\x88 ff\xE2\x90\x8C esc\xE2\x90\x9B[31mred"));

    // Each symbol takes one column: the columns of the line with control bytes
    // stand where those of a plain line do.
    auto separators = [](const std::string& line) {
        std::vector<int> at;
        int column = 0;
        for (unsigned char c : line) {
            if ((c & 0xC0) == 0x80) continue;   // a UTF-8 continuation byte
            if (c == '|') at.push_back(column);
            ++column;
        }
        return at;
    };
    std::vector<std::string> lines;
    for (size_t pos = 0, end; (end = run.out.find('\n', pos)) != std::string::npos; pos = end + 1)
        lines.push_back(run.out.substr(pos, end - pos));
    std::string controls, plain;
    for (const std::string& l : lines) {
        if (l.find("controls.txt") != std::string::npos) controls = l;
        if (l.find("readme.txt") != std::string::npos) plain = l;
    }
    ASSERT_FALSE(controls.empty());
    EXPECT_EQ(separators(plain), separators(controls)) << plain << "\n" << controls;

    HostRun raw = runHost(plugin + " --raw --keys \"CtrlZ\"", dir);
    EXPECT_NE(std::string::npos, raw.out.find("\x8F\xE0\xA8\xA2\xA5\xE2")) << "--raw keeps the bytes";

    // For tools: the same run as JSON, controls escaped, texts in UTF-8.
    runHost(plugin + " --codepage 866 --keys \"F7\" --answers 1 --json \"" + dir / "run.json\"", dir);
    std::string json = readFile(dir / "run.json");
    EXPECT_EQ(0u, json.find("{\n  \"exitCode\": 0,")) << json;
    EXPECT_NE(std::string::npos, json.find("{\"lines\": [\"Sample panel\", \"Make a new folder?\"], \"buttons\": "
                                           "[\"Yes\", \"No\"], \"helpTopic\": \"MakeFolder\", \"answer\": 1}"))
        << json;
}

TEST(HostCommandLine, HelpGoesToStandardOutputWithTheExitCodesAndUsageErrorsEndWithTwo) {
    TempDir dir("cli");
    HostRun help = runHost("--help", dir);
    EXPECT_EQ(0u, help.exitCode);
    for (const char* text : {"--plugin DLL", "Exit codes: 0 clean, 1 problems found, 2 usage, 3", "--strict"})
        EXPECT_NE(std::string::npos, help.out.find(text)) << text;
    EXPECT_EQ(2u, runHost("--keys \"NoSuchKey\" --plugin x.dll", dir).exitCode);
    EXPECT_EQ(3u, runHost("--plugin \"" + dir / "missing.dll\"", dir).exitCode);
}

TEST(HostCommandLine, OpensFromTheMenusOrFromTheCommandLineOnlyWithThePluginsPrefix) {
    TempDir dir("cli");
    ASSERT_TRUE(copyTree(fixtureDir("panel"), dir / "plugin\\"));
    std::string plugin = "--plugin \"" + dir / "plugin\\panel.dll\" ";
    HostRun command = runHost(plugin + "--command \"sample:hello world\"", dir);
    EXPECT_EQ(0u, command.exitCode) << command.out;
    EXPECT_NE(std::string::npos, command.out.find("= Sample panel: hello world =")) << command.out;
    EXPECT_NE(std::string::npos, command.out.find("> OpenPlugin(4, ")) << command.out;

    HostRun other = runHost(plugin + "--command \"other:hello\"", dir);
    EXPECT_EQ(1u, other.exitCode) << other.out;
    EXPECT_EQ(std::string::npos, other.out.find("> OpenPlugin(")) << other.out;

    HostRun menu = runHost(plugin + "--open plugins:0", dir);
    EXPECT_NE(std::string::npos, menu.out.find("> OpenPlugin(1, 0) = 0x00C0FFEE")) << menu.out;

    // What the plugin lacks is said, not shown as zeros.
    HostRun info = runHost(plugin + "--info", dir);
    EXPECT_EQ(0u, info.exitCode);
    EXPECT_EQ(0u, info.out.find("GetMinFarVersion: not exported\n")) << info.out;
    EXPECT_NE(std::string::npos, info.out.find("CommandPrefix: \"sample\"")) << info.out;
}

// A run that stops because the plugin's panel never opened ends the plugin
// as the host's quit does: its ExitFAR, then its module released.
TEST(HostCommandLine, APluginWhosePanelNeverOpenedGetsItsExitFarBeforeItsModuleGoes) {
    TempDir dir("cli");
    ASSERT_TRUE(copyTree(fixtureDir("calllogrefuse"), dir / "plugin\\"));
    HostRun run = runHost("--plugin \"" + dir / "plugin\\calllogrefuse.dll\"", dir);
    EXPECT_EQ(1u, run.exitCode) << run.out;
    std::vector<std::string> transcript = section(run.out, "transcript");
    int exitAt = indexOf(transcript, "> ExitFAR of "), unloadAt = indexOf(transcript, "> unload ");
    EXPECT_GE(exitAt, 0) << run.out;
    EXPECT_LT(exitAt, unloadAt) << run.out;
    std::vector<std::string> log = readLines(dir / "plugin\\calllogrefuse.dll.log");
    ASSERT_GE(log.size(), 2u);
    for (std::string& line : log)
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    EXPECT_EQ((std::vector<std::string>{"ExitFAR", "DllMain detach"}), std::vector<std::string>(log.end() - 2, log.end()));
}

// A scripted run reaches the host's own menus by their keys and can hold a
// plugin's panel in the other half, which the first panel's plugin then sees
// as a plugin's panel.
TEST(HostCommandLine, OtherPanelOptionAndTheHostsMenuKeys) {
    TempDir dir("cli");
    ASSERT_TRUE(copyTree(fixtureDir("calllog"), dir / "Far\\Plugins\\CallLog\\"));
    ASSERT_TRUE(copyTree(fixtureDir("calllogclaim"), dir / "Far\\Plugins\\Claim\\"));
    const std::string first = dir / "Far\\Plugins\\CallLog\\calllog.dll";
    HostRun run = runHost("--plugin \"" + first + "\" --host \"" + dir / "Far" +
                              "\" --other-panel calllogclaim.dll --keys \"F2 F11 AltF1\"",
                          dir);
    EXPECT_EQ(0u, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Menu (the host's): \"Plugin commands\" [Call logger] [Call logger]"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Menu (the host's): \"Drive\" [Call logger] [Call logger]")) << run.out;

    std::vector<std::string> log = readLines(first + ".log");
    bool sawOther = false;
    for (const std::string& line : log)
        sawOther = sawOther || line.find("the other panel = 1 written=496 Plugin=1 ItemsNumber=4") != std::string::npos;
    EXPECT_TRUE(sawOther) << run.out;

    HostRun missing = runHost("--plugin \"" + first + "\" --host \"" + dir / "Far" + "\" --other-panel nosuch.dll", dir);
    EXPECT_EQ(2u, missing.exitCode) << missing.out;
}

// --far picks the host build a run stands for, down to its key code for the
// keypad's Del; no other build is offered.
TEST(HostCommandLine, FarOptionPicksTheHostBuildsKeyCodeForTheKeypadsDel) {
    TempDir dir("cli");
    ASSERT_TRUE(copyTree(fixtureDir("calllog"), dir / "plugin\\"));
    const std::string dll = dir / "plugin\\calllog.dll";
    struct Case {
        const char* option;
        const char* logged;
    } cases[] = {
        {"", "ProcessKey Key=0x2E ControlState=0x4"},
        {"--far 1.70 ", "ProcessKey Key=0x2E ControlState=0x4"},
        {"--far 1.75 ", "ProcessKey Key=0x109 ControlState=0x4"},
    };
    for (const Case& c : cases) {
        DeleteFileA((dll + ".log").c_str());
        HostRun run = runHost(std::string(c.option) + "--plugin \"" + dll + "\" --keys ShiftNumDel", dir);
        EXPECT_EQ(0u, run.exitCode) << c.option << run.out;
        std::vector<std::string> log = readLines(dll + ".log");
        bool logged = false;
        for (const std::string& line : log) logged = logged || line.find(c.logged) == 0;
        EXPECT_TRUE(logged) << c.option;
    }
    EXPECT_EQ(2u, runHost("--far 1.80 --plugin \"" + dll + "\"", dir).exitCode);
}
