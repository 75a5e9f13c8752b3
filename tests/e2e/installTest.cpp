// Installing plugins by copying onto the list panel: a DLL with its
// companions, folders, archives unpacked with the archive plugin's command;
// what the user is asked, what the closing box says, and what the host keeps
// selected afterwards.
#include "harness.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const DWORD kYesNo = FMSG_MB_YESNO;
const DWORD kFolderQuestion = FMSG_MB_YESNO | FMSG_ALLINONE | FMSG_LEFTALIGN;

std::string sized(size_t n, char fill = 'x') { return std::string(n, fill); }

std::string withThousands(unsigned long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

class InstallTest : public HostTest {
protected:
    farhost::Panel* panel = nullptr;
    std::string downloads() const { return dir / "Downloads\\"; }

    void openList(const FarSetup& setup = FarSetup()) {
        start(setup);
        panel = vantorel->open();
        ASSERT_NE(nullptr, panel);
        host->clearRecords();
    }
    void put(const std::string& rel, const std::string& bytes) { ASSERT_TRUE(writeFile(downloads() + rel, bytes)); }
    // A real FAR 1.70 plugin DLL of the fixtures, under another name.
    void putPlugin(const std::string& fixture, const std::string& as) {
        ASSERT_TRUE(copyFile(fixtureDir(fixture) + fixture + ".dll", downloads() + as));
    }
    unsigned long sizeOf(const std::string& rel) const { return static_cast<unsigned long>(readFile(downloads() + rel).size()); }
    farhost::PutResult drop(const std::vector<std::string>& names, std::initializer_list<int> answers = {}) {
        host->clearRecords();
        host->answerMessages(answers);
        return panel->putFiles(downloads(), names);
    }
    // Message boxes with buttons (questions and the closing box), progress left out.
    std::vector<farhost::MessageCall> boxes() const {
        std::vector<farhost::MessageCall> out;
        for (const auto& m : host->messages)
            if (!m.buttons.empty()) out.push_back(m);
        return out;
    }
    void expectClosingBox(const farhost::MessageCall& box, int first) {
        EXPECT_EQ(static_cast<DWORD>(FMSG_MB_OK), box.flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(first), text(29), "\x01"}), box.lines);
    }
    std::string installed(const std::string& rel) const { return readFile(pluginsDir() + rel); }
    bool folderThere(const std::string& rel) const {
        DWORD a = GetFileAttributesA((pluginsDir() + rel).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
};

TEST_F(InstallTest, ADllWithItsCompanionsBecomesOneNewPluginFolder) {
    putPlugin("clock", "Foo.dll");
    put("readme.txt", sized(66, 'r'));
    put("file_id.diz", "Weather at a glance\r\n");   // describes the folder, not dropped itself
    openList();
    farhost::PutResult r = drop({"Foo.dll", "readme.txt"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{false, false}), r.kept);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(kYesNo, b[0].flags);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", text(20) + "Foo\"", "(Weather at a glance)", "",
                                        withThousands(sizeOf("Foo.dll") + 66) + " " + text(21), ""}),
              b[0].lines);
    expectClosingBox(b[1], 27);
    EXPECT_EQ(readFile(downloads() + "Foo.dll"), installed("Foo\\Foo.dll"));
    EXPECT_EQ(sized(66, 'r'), installed("Foo\\readme.txt"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Foo\\file_id.diz"));
}

TEST_F(InstallTest, TheLastDllNamesTheFolderAndFoldersGoInsideIt) {
    putPlugin("clock", "a.dll");
    putPlugin("nover", "b.dll");
    put("Docs\\Guide\\intro.txt", "intro");
    openList();
    farhost::PutResult r = drop({"a.dll", "Docs", "b.dll"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ(readFile(downloads() + "a.dll"), installed("b\\a.dll"));
    EXPECT_EQ(readFile(downloads() + "b.dll"), installed("b\\b.dll"));
    EXPECT_EQ("intro", installed("b\\Docs\\Guide\\intro.txt"));
    EXPECT_FALSE(fileExists(pluginsDir() + "a"));
}

// The description comes from a help file among the dropped items before one
// that merely lies beside the DLL; without any the line is the message alone.
TEST_F(InstallTest, TheDescriptionPrefersTheDroppedHelpFile) {
    putPlugin("clock", "Net\\clock.dll");
    put("Net\\NetEng.hlf", ".Language=English,English\n.PluginContents=Network browser plugin\n");
    put("Help\\clockEng.hlf", ".Language=English,English\n.PluginContents=Clock on the panel\n");
    putPlugin("nover", "Bare\\bare.dll");
    openList();
    const struct { std::vector<std::string> names; std::string line; } cases[] = {
        {{"Net\\clock.dll", "Help\\clockEng.hlf"}, "(Clock on the panel)"},
        {{"Net\\clock.dll"}, "(Network browser plugin)"},   // only the folder has one
        {{"Bare\\bare.dll"}, text(19)},
    };
    for (const auto& c : cases) {
        drop(c.names, {1});
        ASSERT_FALSE(boxes().empty()) << c.line;
        EXPECT_EQ(c.line, boxes()[0].lines.at(2));
    }
}

TEST_F(InstallTest, DroppedFoldersAreCopiedAsTheyAreAndFilesBesideThemStaySelected) {
    putPlugin("clock", "Net\\net.dll");
    put("Net\\Lang\\netEng.lng", sized(500));
    put("readme.txt", sized(10));
    ASSERT_TRUE(makeDirs(downloads() + "Net\\Empty"));
    openList();
    farhost::PutResult r = drop({"Net", "readme.txt"});
    // Not everything dropped went in: the host keeps readme.txt selected.
    EXPECT_EQ(0, r.result);
    EXPECT_EQ((std::vector<bool>{false, true}), r.kept);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(kFolderQuestion, b[0].flags);
    EXPECT_EQ(0, b[0].itemsNumber);
    EXPECT_EQ(text(23), b[0].lines.at(0));
    EXPECT_EQ("  " + text(24) + ": 1", b[0].lines.at(2));
    EXPECT_EQ(text(25) + ": " + withThousands(sizeOf("Net\\net.dll") + 510), b[0].lines.at(3));
    EXPECT_FALSE(contains(b[0].lines, text(68))) << "the folder holds a plugin";
    expectClosingBox(b[1], 28);
    EXPECT_EQ(sized(500), installed("Net\\Lang\\netEng.lng"));
    EXPECT_TRUE(folderThere("Net\\Empty"));
    EXPECT_FALSE(fileExists(pluginsDir() + "readme.txt"));
}

// Whenever not every dropped item went in, PutFiles returns 0 so that the
// host keeps selected what was not installed instead of clearing everything.
TEST_F(InstallTest, DeclinedOrNothingInstallableKeepsTheSelection) {
    putPlugin("clock", "Foo.dll");
    putPlugin("clock", "Net\\net.dll");
    put("readme.txt", "R");
    put("archive.tar.gz", "G");
    openList();
    const struct {
        const char* what;
        std::vector<std::string> names;
        int answer;
        const char* onlyBox;   // text of the single box's second line, or nullptr for a question
    } cases[] = {
        {"DLL question declined", {"Foo.dll", "readme.txt"}, 1, nullptr},
        {"DLL question escaped", {"Foo.dll"}, -1, nullptr},
        {"folder question declined", {"Net"}, 1, nullptr},
        {"only a text file", {"readme.txt"}, 0, "40"},
        {"a .gz is no archive", {"archive.tar.gz"}, 0, "40"},
        {"the folder above", {".."}, 0, "40"},   // would land above the plugins root
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop(c.names, {c.answer});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>(c.names.size(), true), r.kept) << c.what;
        ASSERT_EQ(1u, host->messages.size()) << c.what;
        if (c.onlyBox) {
            EXPECT_EQ(text(atoi(c.onlyBox)), host->messages[0].lines.at(1)) << c.what;
        }
    }
    EXPECT_FALSE(fileExists(pluginsDir() + "Foo"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Net"));
}

// Failures are told in the closing box, never as success, and the items
// that failed stay selected.
TEST_F(InstallTest, AFailedCopyOrFolderIsToldInTheClosingBox) {
    putPlugin("clock", "Foo.dll");
    put("readme.txt", "new readme");
    put("Tree\\a.txt", "a");
    put("Tree\\b.txt", "b");
    putPlugin("clock", "Bar.dll");
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo\\Foo.dll", "old dll"));
    // A folder where a file should go: that copy fails.
    ASSERT_TRUE(makeDirs(pluginsDir() + "Foo\\readme.txt"));
    ASSERT_TRUE(makeDirs(pluginsDir() + "Tree\\b.txt"));
    // A file where the plugin's folder should go.
    ASSERT_TRUE(writeFile(pluginsDir() + "Bar", "a file in the way"));
    // The old DLL of a plugin the host has loaded.
    putPlugin("hexview", "Held.dll");
    ASSERT_TRUE(copyFile(fixtureDir("clock") + "clock.dll", pluginsDir() + "Held\\Held.dll"));
    openList();
    ASSERT_NE(nullptr, host->load(pluginsDir() + "Held\\Held.dll")) << host->lastError();
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::vector<bool> kept;
        int headline;
        std::vector<std::string> reasons;
    } cases[] = {
        {"a file that cannot be copied", {"Foo.dll", "readme.txt"}, {false, true}, 56,
         {text(63) + " readme.txt"}},
        {"a file inside a tree", {"Tree"}, {true}, 57, {text(63) + " Tree\\b.txt"}},
        {"a folder that cannot be made", {"Bar.dll"}, {true}, 57, {text(62) + " " + pluginsDir() + "Bar"}},
        {"a DLL the host holds", {"Held.dll"}, {true}, 57, {text(63) + " Held.dll", text(64)}},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop(c.names);
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(c.kept, r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.what << ": the question and the closing box, nothing between";
        std::vector<std::string> expected = {"Vantorel", text(c.headline)};
        expected.insert(expected.end(), c.reasons.begin(), c.reasons.end());
        if (c.headline == 56) expected.push_back(text(29));   // something did go in
        expected.push_back("\x01");
        EXPECT_EQ(expected, b[1].lines) << c.what;
        EXPECT_EQ(static_cast<DWORD>(FMSG_MB_OK | FMSG_WARNING), b[1].flags) << c.what;
    }
    EXPECT_EQ(readFile(downloads() + "Foo.dll"), installed("Foo\\Foo.dll"));
    EXPECT_EQ("a", installed("Tree\\a.txt"));   // what was copied stays
}

// The question says what the user should know before going on: a DLL the
// host would not load, folders without any plugin, a plugin folder that is
// there already (with both versions, and whether the host holds the old DLL).
TEST_F(InstallTest, TheQuestionWarnsAboutNonPluginsAndExistingFolders) {
    put("Junk\\junk.dll", sized(300, '\x5a'));
    ASSERT_TRUE(copyFile(fixtureDir("archiver") + "arcx.exe", downloads() + "Exe\\exe.dll"));   // no plugin exports
    put("Docs\\readme.txt", "r");
    putPlugin("clock", "Clock\\Hexview.dll");
    ASSERT_TRUE(copyFile(fixtureDir("hexview") + "hexview.dll", pluginsDir() + "Hexview\\Hexview.dll"));
    putPlugin("hexview", "Hex2\\Held.dll");
    ASSERT_TRUE(copyFile(fixtureDir("hexview") + "hexview.dll", pluginsDir() + "Held\\Held.dll"));
    openList();
    ASSERT_NE(nullptr, host->load(pluginsDir() + "Held\\Held.dll")) << host->lastError();
    const std::string versions = text(70) + " 2.1.0, " + text(71) + " 3.0.2";
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::string> present, absent;
    } cases[] = {
        {"random bytes", {"Junk\\junk.dll"}, {text(67)}, {text(69)}},
        {"no plugin exports", {"Exe\\exe.dll"}, {text(67)}, {}},
        {"a plugin", {"Clock\\Hexview.dll"}, {text(69), pluginsDir() + "Hexview", versions}, {text(67), text(72)}},
        {"a plugin the host holds", {"Hex2\\Held.dll"}, {text(69), text(72)}, {text(67)}},
        {"a folder without a DLL", {"Docs"}, {text(68)}, {text(69)}},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop(c.names, {1});
        EXPECT_EQ(0, r.result) << c.what;
        ASSERT_EQ(1u, boxes().size()) << c.what;
        const std::vector<std::string> lines = boxes()[0].lines;
        for (const auto& line : c.present) EXPECT_TRUE(contains(lines, line)) << c.what << ": " << line;
        for (const auto& line : c.absent) EXPECT_FALSE(contains(lines, line)) << c.what << ": " << line;
    }
    // Going on is still the user's choice.
    farhost::PutResult r = drop({"Junk\\junk.dll"}, {0});
    EXPECT_EQ(1, r.result);
    EXPECT_TRUE(fileExists(pluginsDir() + "junk\\junk.dll"));
}

// Archives are unpacked by the archiver the archive plugin names: from its
// configured command, else from its format module. The tests use our own
// archiver, which logs the command line it was given.
class ArchiveInstallTest : public InstallTest {
protected:
    std::string tools() const { return dir / "Tools\\"; }
    std::string archiver() const { return tools() + "arcx.exe"; }
    std::string configuredKey;

    void SetUp() override {
        ASSERT_TRUE(copyFile(fixtureDir("archiver") + "arcx.exe", archiver()));
    }
    void TearDown() override {
        if (configuredKey.empty()) return;
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, configuredKey.c_str());
        SHDeleteKeyA(HKEY_CURRENT_USER, configuredKey.c_str());
    }
    void putArchive(const std::string& fixtureArchive, const std::string& as) {
        ASSERT_TRUE(copyFile(fixtureDir("archives") + fixtureArchive, downloads() + as));
    }
    // The archive plugin's configured extract command for an extension, as
    // its .reg files leave it for the machine (HKLM) or its dialog for the
    // user (HKCU); an empty command removes the value.
    void configure(const std::string& extension, const std::string& command, HKEY root = HKEY_LOCAL_MACHINE) {
        configuredKey = host->rootKey() + "\\MultiArc";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, (configuredKey + "\\" + extension).c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &h, nullptr));
        if (command.empty()) {
            RegDeleteValueA(h, "Extract");
        } else {
            RegSetValueExA(h, "Extract", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
        }
        RegCloseKey(h);
    }
    static std::string shortPath(const std::string& path) {
        char out[MAX_PATH] = {};
        DWORD n = GetShortPathNameA(path.c_str(), out, sizeof out);
        return n && n < sizeof out ? out : path;
    }
    std::vector<std::string> commandLines(const std::string& exe) const { return readLines(exe + ".log"); }
};

TEST_F(ArchiveInstallTest, TheConfiguredCommandRunsRewrittenWithTheArchiveAndTheShortTarget) {
    putArchive("NetTool.zip", "NetTool.zip");
    putArchive("net tools.zip", "net tools.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x {-p%P} -y %A -l%L");
    const struct { const char* name; const char* folder; std::string quoted; } cases[] = {
        {"NetTool.zip", "NetTool", "NetTool.zip"},
        {"net tools.zip", "net tools", "\"net tools.zip\""},   // one word for the archiver
    };
    for (const auto& c : cases) {
        DeleteFileA((archiver() + ".log").c_str());
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(1, r.result) << c.name;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.name;
        EXPECT_EQ(kYesNo, b[0].flags);
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(26), "(" + text(24) + ": 1)"}), b[0].lines);
        expectClosingBox(b[1], 28);
        std::string target = shortPath(pluginsDir() + c.folder);
        EXPECT_EQ((std::vector<std::string>{shortPath(archiver()) + " x  -y " + c.quoted + " " + target + "\\"}),
                  commandLines(archiver()));
        EXPECT_TRUE(fileExists(pluginsDir() + c.folder + "\\" + (c.folder == std::string("NetTool") ? "nettool.dll"
                                                                                                    : "netscan.dll")))
            << c.name;
        EXPECT_EQ(host->savedScreens(), host->restoredScreens());
    }
    EXPECT_TRUE(fileExists(pluginsDir() + "NetTool\\doc"));
}

// The archive plugin reads the current user's setting first (its own dialog
// writes it), then the machine's default, then its format module.
TEST_F(ArchiveInstallTest, TheUsersExtractCommandComesBeforeTheMachinesAndTheFormatModule) {
    putArchive("NetTool.zip", "NetTool.zip");
    addFixture("multiarc", "MultiArc\\");
    std::string moduleArchiver = pluginsDir() + "MultiArc\\Formats\\arcx.exe";
    std::string userArchiver = tools() + "user\\arcx.exe";
    std::string machineArchiver = tools() + "machine\\arcx.exe";
    ASSERT_TRUE(copyFile(archiver(), userArchiver));
    ASSERT_TRUE(copyFile(archiver(), machineArchiver));
    openList();
    const struct { const char* what; bool user, machine; std::string ran; } cases[] = {
        {"both set", true, true, userArchiver},
        {"only the machine's", false, true, machineArchiver},
        {"neither", false, false, moduleArchiver},
    };
    for (const auto& c : cases) {
        configure("ZIP", c.user ? shortPath(userArchiver) + " x -y" : "", HKEY_CURRENT_USER);
        configure("ZIP", c.machine ? shortPath(machineArchiver) + " x -y" : "", HKEY_LOCAL_MACHINE);
        for (const auto& exe : {userArchiver, machineArchiver, moduleArchiver}) DeleteFileA((exe + ".log").c_str());
        farhost::PutResult r = drop({"NetTool.zip"});
        EXPECT_EQ(1, r.result) << c.what;
        for (const auto& exe : {userArchiver, machineArchiver, moduleArchiver})
            EXPECT_EQ(exe == c.ran ? 1u : 0u, commandLines(exe).size()) << c.what << ": " << exe;
    }
}

TEST_F(ArchiveInstallTest, WithoutAConfiguredCommandTheFormatModuleBesideTheArchivePluginIsAsked) {
    putArchive("lib.beta.zip", "lib.beta.zip");
    putArchive("NetTool.zip", "x.ZIP");
    const struct { const char* fixture; const char* name; const char* folder; const char* file; } cases[] = {
        {"multiarc", "lib.beta.zip", "lib.beta", "libbeta.dll"},
        {"multiarcbin", "x.ZIP", "x", "nettool.dll"},   // DLL in bin, formats beside bin
    };
    // An existing target folder is reused.
    ASSERT_TRUE(writeFile(pluginsDir() + "lib.beta\\keep.txt", "kept"));
    for (const auto& c : cases) addFixture(c.fixture, std::string(c.fixture) + "\\MultiArc\\");
    openList();
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(1, r.result) << c.name;
        EXPECT_TRUE(fileExists(pluginsDir() + c.folder + "\\" + c.file)) << c.name;
    }
    EXPECT_EQ("kept", installed("lib.beta\\keep.txt"));
    // The first MultiArc in the catalogue answered for both.
    std::vector<std::string> runs;
    for (const auto& c : cases) {
        std::vector<std::string> lines = commandLines(pluginsDir() + c.fixture + "\\MultiArc\\Formats\\arcx.exe");
        runs.insert(runs.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(2u, runs.size());
}

// A failed unpack ends with a closing box that says so (with the archiver's
// exit code and command), keeps the archive selected, and leaves no empty
// folder behind; a folder that was there before stays.
TEST_F(ArchiveInstallTest, AFailedUnpackIsToldAndLeavesNoFolder) {
    putArchive("NetTool.zip", "NetTool.zip");
    putArchive("bad.zip", "bad.zip");
    ASSERT_TRUE(makeDirs(pluginsDir() + "Old"));
    putArchive("NetTool.zip", "Old.zip");
    openList();
    std::string failing = shortPath(archiver()) + " x -e9 -y";
    const struct {
        const char* what;
        std::string command;
        const char* name;
        std::vector<std::string> reasons;
        const char* folder;
        bool folderStays;
    } cases[] = {
        {"exit code 9", failing, "NetTool.zip",
         {"NetTool.zip: " + text(58) + " 9", text(59) + " " + failing + " NetTool.zip " +
                                                 shortPath(pluginsDir()) + "NetTool\\"},
         "NetTool", false},
        {"bad data", shortPath(archiver()) + " x -y", "bad.zip", {"bad.zip: " + text(58) + " 2"}, "bad", false},
        {"no archiver", "C:\\no\\such\\archiver.exe x -y", "NetTool.zip", {"NetTool.zip: " + text(61)}, "NetTool",
         false},
        {"no command", "", "NetTool.zip", {"NetTool.zip: " + text(60)}, "NetTool", false},
        {"a folder that existed", failing, "Old.zip", {"Old.zip: " + text(58) + " 9"}, "Old", true},
    };
    for (const auto& c : cases) {
        configure("zip", c.command);
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>{true}, r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.what << ": the question and the closing box";
        EXPECT_EQ(text(57), b[1].lines.at(1)) << c.what;
        for (size_t i = 0; i < c.reasons.size(); ++i) {
            std::string line = b[1].lines.at(2 + i);
            // The short form of the target is made up by the system: compare up to it.
            EXPECT_EQ(c.reasons[i].substr(0, c.reasons[i].find(" NetTool.zip ")),
                      line.substr(0, c.reasons[i].find(" NetTool.zip "))) << c.what;
        }
        EXPECT_FALSE(contains(b[1].lines, text(29))) << c.what << ": nothing to restart for";
        EXPECT_EQ(c.folderStays, folderThere(c.folder)) << c.what;
        EXPECT_EQ(host->savedScreens(), host->restoredScreens()) << c.what;
    }
}

// Declining the folders still asks about the archives dropped with them, and
// the progress box of the folders is gone before the archive question.
TEST_F(ArchiveInstallTest, EachQuestionIsAskedOnItsOwnScreen) {
    putPlugin("clock", "Net\\net.dll");
    putArchive("NetTool.zip", "NetTool.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    // Answers: 0 Yes, 1 No; the archiver's runs so far.
    const struct { int folders, archives; std::vector<bool> kept; bool net; size_t runs; } cases[] = {
        {1, 0, {false, true}, false, 1},
        {0, 1, {true, false}, true, 1},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop({"NetTool.zip", "Net"}, {c.folders, c.archives});
        EXPECT_EQ(0, r.result);
        EXPECT_EQ(c.kept, r.kept);
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(3u, b.size());
        EXPECT_EQ(kFolderQuestion, b[0].flags);
        EXPECT_EQ(text(26), b[1].lines.at(1));
        expectClosingBox(b[2], 28);
        EXPECT_EQ(c.net, folderThere("Net"));
        EXPECT_EQ(c.runs, commandLines(archiver()).size());
    }
    // The last drop copied the folder, then asked about the archive.
    const std::vector<std::string>& t = host->transcript;
    size_t question = 0, progressDrawn = 0, restored = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].find(text(26)) != std::string::npos && !question) question = i;
        if (question) continue;
        if (t[i].find(text(22)) != std::string::npos) progressDrawn = i;
        if (t[i].compare(0, 14, "RestoreScreen(") == 0) restored = i;
    }
    ASSERT_GT(question, 0u);
    ASSERT_GT(progressDrawn, 0u);
    EXPECT_GT(restored, progressDrawn) << "the progress box is still drawn when the archive question comes";
}

TEST_F(ArchiveInstallTest, ATargetThatCannotBeMadeIsReportedWithItsPathNeverCut) {
    std::string longStem = sized(240, 'p');
    putPlugin("clock", longStem + ".dll");
    // A folder whose own path fits, but not once it stands in the plugins folder.
    std::string longFolder = sized(MAX_PATH - pluginsDir().size(), 'f');
    ASSERT_LT((downloads() + longFolder).size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(makeDirs(downloads() + longFolder));
    putArchive("NetTool.zip", longStem + ".zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    const struct { const char* what; std::string name; std::string path; int closing; } cases[] = {
        {"a plugin folder too long", longStem + ".dll", pluginsDir() + longStem, 27},
        {"a folder too long", longFolder, pluginsDir() + longFolder, 28},
        {"an archive's folder too long", longStem + ".zip", pluginsDir() + longStem, 28},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>{true}, r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.what;
        EXPECT_EQ((std::vector<std::string>{"Vantorel", text(57), text(62) + " " + c.path, "\x01"}), b[1].lines)
            << c.what;
        EXPECT_TRUE(host->problems.empty()) << host->problems.front();
    }
    EXPECT_TRUE(commandLines(archiver()).empty());
}

