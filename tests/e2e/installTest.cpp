// Installing plugins by copying onto the list panel: a DLL with its
// companions, folders, archives unpacked with the archive plugin's command.
#include "harness.h"

#include <shlwapi.h>

using namespace testing_support;

namespace {

const DWORD kYesNo = FMSG_MB_YESNO;
const DWORD kFolderQuestion = FMSG_MB_YESNO | FMSG_ALLINONE | FMSG_LEFTALIGN;

std::string sized(size_t n, char fill = 'x') { return std::string(n, fill); }

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
};

TEST_F(InstallTest, ADllWithItsCompanionsBecomesOneNewPluginFolder) {
    put("Foo.dll", sized(1234));
    put("readme.txt", sized(66, 'r'));
    put("file_id.diz", "Weather at a glance\r\n");   // describes the folder, not dropped itself
    openList();
    farhost::PutResult r = drop({"Foo.dll", "readme.txt"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{false, false}), r.selected);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(kYesNo, b[0].flags);
    EXPECT_EQ((std::vector<std::string>{"Vantorel", text(20) + "Foo\"", "(Weather at a glance)", "", "1,300 " + text(21), ""}),
              b[0].lines);
    expectClosingBox(b[1], 27);
    EXPECT_EQ(sized(1234), installed("Foo\\Foo.dll"));
    EXPECT_EQ(sized(66, 'r'), installed("Foo\\readme.txt"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Foo\\file_id.diz"));
}

TEST_F(InstallTest, TheLastDllNamesTheFolderAndFoldersGoInsideIt) {
    put("a.dll", "A");
    put("b.dll", "B");
    put("Docs\\Guide\\intro.txt", "intro");
    openList();
    farhost::PutResult r = drop({"a.dll", "Docs", "b.dll"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{false, false, false}), r.selected);
    EXPECT_EQ("A", installed("b\\a.dll"));
    EXPECT_EQ("B", installed("b\\b.dll"));
    EXPECT_EQ("intro", installed("b\\Docs\\Guide\\intro.txt"));
    EXPECT_FALSE(fileExists(pluginsDir() + "a"));
    EXPECT_EQ("(" + text(19) + ")", boxes().at(0).lines.at(2));   // no description anywhere
}

TEST_F(InstallTest, DroppedFoldersAreCopiedAsTheyAreAndFilesBesideThemStaySelected) {
    put("Net\\net.dll", sized(1000));
    put("Net\\Lang\\netEng.lng", sized(500));
    put("readme.txt", sized(10));
    ASSERT_TRUE(makeDirs(downloads() + "Net\\Empty"));
    openList();
    farhost::PutResult r = drop({"Net", "readme.txt"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{false, true}), r.selected);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(kFolderQuestion, b[0].flags);
    EXPECT_EQ(0, b[0].itemsNumber);
    EXPECT_EQ(text(23), b[0].lines.at(0));
    EXPECT_EQ("  " + text(24) + ": 1", b[0].lines.at(2));
    EXPECT_EQ(text(25) + ": 1,510", b[0].lines.at(3));
    expectClosingBox(b[1], 28);
    EXPECT_EQ(sized(1000), installed("Net\\net.dll"));
    EXPECT_EQ(sized(500), installed("Net\\Lang\\netEng.lng"));
    EXPECT_TRUE(GetFileAttributesA((pluginsDir() + "Net\\Empty").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(fileExists(pluginsDir() + "readme.txt"));
}

TEST_F(InstallTest, DeclinedOrNothingInstallableCopiesNothingAndEndsWithoutAClosingBox) {
    put("Foo.dll", "F");
    put("Net\\net.dll", "N");
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
        {"folder question declined", {"Net"}, -1, nullptr},
        {"only a text file", {"readme.txt"}, 0, "40"},
        {"a .gz is no archive", {"archive.tar.gz"}, 0, "40"},
        {"the folder above", {".."}, 0, "40"},   // would land above the plugins root
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop(c.names, {c.answer});
        EXPECT_EQ(1, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>(c.names.size(), true), r.selected) << c.what;
        ASSERT_EQ(1u, host->messages.size()) << c.what;
        if (c.onlyBox) EXPECT_EQ(text(atoi(c.onlyBox)), host->messages[0].lines.at(1)) << c.what;
    }
    EXPECT_FALSE(fileExists(pluginsDir() + "Foo"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Net"));
}

TEST_F(InstallTest, ExistingFilesAreOverwrittenAndAFailedCopyKeepsItsItemSelected) {
    put("Foo.dll", "new dll");
    put("readme.txt", "new readme");
    put("Tree\\a.txt", "a");
    put("Tree\\b.txt", "b");
    put("Tree\\c.txt", "c");
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo\\Foo.dll", "old dll"));
    // A folder where a file should go: that copy fails.
    ASSERT_TRUE(makeDirs(pluginsDir() + "Foo\\readme.txt"));
    // In a tree, a failure in the middle is not undone by the steps after it.
    ASSERT_TRUE(makeDirs(pluginsDir() + "Tree\\b.txt"));
    openList();

    farhost::PutResult r = drop({"Foo.dll", "readme.txt"});
    EXPECT_EQ(0, r.result);
    EXPECT_EQ((std::vector<bool>{false, true}), r.selected);
    EXPECT_EQ("new dll", installed("Foo\\Foo.dll"));
    EXPECT_TRUE(GetFileAttributesA((pluginsDir() + "Foo\\readme.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    r = drop({"Tree"});
    EXPECT_EQ(0, r.result);
    EXPECT_EQ((std::vector<bool>{true}), r.selected);
    EXPECT_EQ("a", installed("Tree\\a.txt"));
    EXPECT_EQ("c", installed("Tree\\c.txt"));
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
        if (!configuredKey.empty()) SHDeleteKeyA(HKEY_LOCAL_MACHINE, configuredKey.c_str());
    }
    void putArchive(const std::string& fixtureArchive, const std::string& as) {
        ASSERT_TRUE(copyFile(fixtureDir("archives") + fixtureArchive, downloads() + as));
    }
    // The archive plugin's configured extract command for an extension.
    void configure(const std::string& extension, const std::string& command) {
        configuredKey = host->rootKey() + "\\Multiarc";
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (configuredKey + "\\" + extension).c_str(), 0,
                                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr));
        RegSetValueExA(h, "Extract", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(h);
    }
    static std::string shortPath(const std::string& path) {
        char out[MAX_PATH] = {};
        DWORD n = GetShortPathNameA(path.c_str(), out, sizeof out);
        return n && n < sizeof out ? out : path;
    }
    std::vector<std::string> commandLines(const std::string& exe) const { return readLines(exe + ".log"); }
    std::vector<std::string> secondLines() const {
        std::vector<std::string> out;
        for (const auto& m : host->messages) out.push_back(m.lines.size() > 1 ? m.lines[1] : "");
        return out;
    }
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

TEST_F(ArchiveInstallTest, NoCommandAStartFailureOrAnOverlongCommandIsReported) {
    putArchive("NetTool.zip", "NetTool.zip");
    openList();
    const struct { const char* what; std::string command; int message; bool folderMade; } cases[] = {
        {"no command anywhere", "", 36, false},
        {"the archiver cannot start", "C:\\no\\such\\archiver.exe x -y", 35, true},
        {"too long to run", shortPath(archiver()) + " x " + sized(420, 'o'), 48, false},
    };
    for (const auto& c : cases) {
        RemoveDirectoryA((pluginsDir() + "NetTool").c_str());
        if (!c.command.empty()) configure("zip", c.command);
        farhost::PutResult r = drop({"NetTool.zip"});
        EXPECT_EQ(1, r.result) << c.what;   // an archive's outcome does not count
        std::vector<std::string> seconds = secondLines();
        ASSERT_EQ(3u, seconds.size()) << c.what;   // question, the failure, the closing box
        EXPECT_EQ(text(c.message), seconds[1]) << c.what;
        EXPECT_EQ(text(28), seconds[2]) << c.what;
        EXPECT_EQ(c.folderMade, fileExists(pluginsDir() + "NetTool")) << c.what;
        EXPECT_EQ(host->savedScreens(), host->restoredScreens()) << c.what;
    }
}

TEST_F(ArchiveInstallTest, FoldersAreAskedForBeforeArchivesAndADeclinedArchiveStillCloses) {
    put("Net\\net.dll", "N");
    putArchive("NetTool.zip", "NetTool.zip");
    putArchive("bad.zip", "bad.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");

    farhost::PutResult r = drop({"NetTool.zip", "Net"}, {0, 1});   // folders yes, archives no
    EXPECT_EQ(1, r.result);
    EXPECT_EQ((std::vector<bool>{true, false}), r.selected);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(3u, b.size());
    EXPECT_EQ(kFolderQuestion, b[0].flags);
    EXPECT_EQ(text(26), b[1].lines.at(1));
    expectClosingBox(b[2], 28);
    EXPECT_FALSE(fileExists(pluginsDir() + "NetTool"));
    EXPECT_TRUE(commandLines(archiver()).empty());

    // An archive the archiver cannot read: its folder is made, nothing more is said.
    r = drop({"bad.zip"});
    EXPECT_EQ(1, r.result);
    EXPECT_EQ(1u, commandLines(archiver()).size());
    EXPECT_EQ(2u, boxes().size());
    EXPECT_TRUE(fileExists(pluginsDir() + "bad"));
}

TEST_F(ArchiveInstallTest, ATargetThatCannotBeMadeIsReportedWithItsPathNeverCut) {
    put("Foo.dll", "F");
    std::string longStem = sized(240, 'p');
    put(longStem + ".dll", "L");
    // A folder whose own path fits, but not once it stands in the plugins folder.
    std::string longFolder = sized(MAX_PATH - pluginsDir().size(), 'f');
    ASSERT_LT((downloads() + longFolder).size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(makeDirs(downloads() + longFolder));
    putArchive("NetTool.zip", longStem + ".zip");
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo", "a file where the folder would go"));
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    const struct { const char* what; std::string name; std::string path; int result, closing; } cases[] = {
        {"a file in the way", "Foo.dll", pluginsDir() + "Foo", 1, 27},
        {"a plugin folder too long", longStem + ".dll", pluginsDir() + longStem, 1, 27},
        {"a folder too long", longFolder, pluginsDir() + longFolder, 0, 28},
        {"an archive's folder too long", longStem + ".zip", pluginsDir() + longStem, 1, 28},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(c.result, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>{true}, r.selected) << c.what;
        std::vector<std::string> seconds = secondLines();
        ASSERT_EQ(4u, seconds.size()) << c.what;   // question, 39, the path, closing box
        EXPECT_EQ(text(39), seconds[1]) << c.what;
        EXPECT_EQ(c.path, seconds[2]) << c.what;
        expectClosingBox(host->messages[3], c.closing);
        EXPECT_TRUE(host->problems.empty()) << host->problems.front();
    }
    EXPECT_TRUE(commandLines(archiver()).empty());
}
