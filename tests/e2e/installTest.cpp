// Installing plugins by copying onto the list panel: a DLL with its
// companions, folders, archives unpacked with the archive plugin's command;
// what the user is asked, what the closing box says, and what the host keeps
// selected afterwards.
#include "harness.h"
#include "../../src/ui/messages.h"

#include <shlwapi.h>

#include <functional>

using namespace testing_support;

namespace {

// Every install question (a DLL, folders, archives) has one look: titled
// "Vantorel", the question first, lines left-aligned.
const DWORD kYesNo = FMSG_MB_YESNO | FMSG_LEFTALIGN;
const DWORD kFolderQuestion = FMSG_MB_YESNO | FMSG_ALLINONE | FMSG_LEFTALIGN;

std::string sized(size_t n, char fill = 'x') { return std::string(n, fill); }

std::string withThousands(unsigned long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

// The names in a folder ("." and ".." left out); none when it is not there.
std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
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
        host->clearTranscript();
    }
    void put(const std::string& rel, const std::string& bytes) { ASSERT_TRUE(writeFile(downloads() + rel, bytes)); }
    // A real FAR 1.70 plugin DLL of the fixtures, under another name.
    void putPlugin(const std::string& fixture, const std::string& as) {
        ASSERT_TRUE(copyFile(fixtureDir(fixture) + fixture + ".dll", downloads() + as));
    }
    unsigned long sizeOf(const std::string& rel) const { return static_cast<unsigned long>(readFile(downloads() + rel).size()); }
    farhost::PutResult drop(const std::vector<std::string>& names, std::initializer_list<int> answers = {}) {
        host->clearTranscript();
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
    // The closing box of a drop without failures: its lines between the title and the separator.
    void expectClosingBox(const farhost::MessageCall& box, std::initializer_list<int> ids) {
        EXPECT_EQ(static_cast<DWORD>(FMSG_MB_OK), box.flags);
        std::vector<std::string> lines = {"Vantorel"};
        for (int id : ids) lines.push_back(text(id));
        lines.push_back("\x01");
        EXPECT_EQ(lines, box.lines);
    }
    // A path line of a question: indented, shortened in its middle when long, the end kept.
    bool hasPathLine(const std::vector<std::string>& lines, const std::string& path) const {
        std::string tail = path.substr(path.size() > 30 ? path.size() - 30 : 0);
        for (const auto& l : lines)
            if (l.size() > 2 && l.compare(0, 2, "  ") == 0 && l.size() >= tail.size() &&
                l.compare(l.size() - tail.size(), tail.size(), tail) == 0 && l.size() <= 66)
                return true;
        return false;
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
    EXPECT_EQ((std::vector<std::string>{"Vantorel", text(MInstallPlugin) + "Foo\"", "(Weather at a glance)", "",
                                        withThousands(sizeOf("Foo.dll") + 66) + " " + text(MInstallBytes), ""}),
              b[0].lines);
    expectClosingBox(b[1], {MInstalledPlugin, MInstallRestartOne});
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
        {{"Bare\\bare.dll"}, text(MNoDescription)},
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
    EXPECT_EQ("Vantorel", b[0].lines.at(0));
    EXPECT_EQ(text(MAskInstallFolders), b[0].lines.at(1));
    EXPECT_EQ(text(MInstallCount) + ": 1", b[0].lines.at(2));
    // Only the folders count: readme.txt is not installed.
    EXPECT_EQ(text(MInstallSize) + ": " + withThousands(sizeOf("Net\\net.dll") + 500), b[0].lines.at(3));
    EXPECT_FALSE(contains(b[0].lines, text(MNoPluginDll))) << "the folder holds a plugin";
    expectClosingBox(b[1], {MInstalledPlugin, MInstallRestartOne});
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

// Failures are told in the closing box with their reason, never as success;
// a plugin folder is installed whole or not at all, so the items stay
// selected and the plugins tree is as it was.
TEST_F(InstallTest, AFailedCopyOrFolderIsToldInTheClosingBoxAndChangesNothing) {
    putPlugin("clock", "Foo.dll");
    put("readme.txt", "new readme");
    put("Tree\\a.txt", "a");
    put("Tree\\b.txt", "b");
    putPlugin("clock", "Bar.dll");
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo\\Foo.dll", "old dll"));
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo\\readme.txt", "old readme"));
    // A dropped file another process holds open without sharing: that copy fails.
    HANDLE heldReadme = CreateFileA((downloads() + "readme.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, heldReadme);
    // A file where the plugin's folder should go.
    ASSERT_TRUE(writeFile(pluginsDir() + "Bar", "a file in the way"));
    // A source file another process holds open without sharing.
    HANDLE held = CreateFileA((downloads() + "Tree\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    openList();
    const struct {
        const char* what;
        std::vector<std::string> names;
        int answer;   // the one that goes on
        std::string reason;   // the start of the failure line
        std::string because;  // its end
    } cases[] = {
        {"a file that cannot be copied", {"Foo.dll", "readme.txt"}, 1, text(MFailCopy) + " readme.txt: ", ""},
        {"a file inside a tree", {"Tree"}, 0, text(MFailCopy) + " Tree\\b.txt: ", text(MErrInUse)},
        {"a folder that cannot be made", {"Bar.dll"}, -2, text(MFailFolder) + " ", ""},   // not asked
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop(c.names, {c.answer});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>(c.names.size(), true), r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        if (c.answer == -2) b.insert(b.begin(), farhost::MessageCall());
        ASSERT_EQ(2u, b.size()) << c.what << ": the question and the closing box, nothing between";
        ASSERT_EQ(4u, b[1].lines.size()) << c.what;
        EXPECT_EQ(text(MInstallNothing), b[1].lines[1]) << c.what;
        const std::string& line = b[1].lines[2];
        EXPECT_EQ(c.reason, line.substr(0, c.reason.size())) << c.what;
        EXPECT_NE(std::string::npos, line.find(": ")) << c.what << ": a reason follows";
        if (!c.because.empty()) {
            EXPECT_EQ(c.because, line.substr(line.size() - c.because.size())) << c.what;
        }
        EXPECT_EQ(static_cast<DWORD>(FMSG_MB_OK | FMSG_WARNING), b[1].flags) << c.what;
    }
    CloseHandle(held);
    CloseHandle(heldReadme);
    EXPECT_EQ("old dll", installed("Foo\\Foo.dll"));
    EXPECT_EQ("old readme", installed("Foo\\readme.txt"));
    EXPECT_FALSE(fileExists(pluginsDir() + "Tree"));
    EXPECT_EQ("a file in the way", installed("Bar"));
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging")) << "no staging folder is left behind";
}

// The question says what the user should know before going on: why a DLL
// is no plugin the host would load, folders without any plugin, the
// installed plugin a DLL updates wherever it lies (with both versions). With
// a warning the safe button comes first and is the default; a plugin the
// host has loaded is refused with Cancel alone.
TEST_F(InstallTest, TheQuestionWarnsAboutNonPluginsUpdatesAndLoadedPlugins) {
    put("Junk\\junk.dll", sized(300, '\x5a'));
    ASSERT_TRUE(copyFile(fixtureDir("archiver") + "arcx.exe", downloads() + "Exe\\exe.dll"));   // no DLL at all
    put("Docs\\readme.txt", "r");
    putPlugin("unicode", "Uni\\uni.dll");
    putPlugin("win64", "Wide\\win64.dll");
    putPlugin("clock", "Clock\\Hexview.dll");
    putPlugin("netdrive", "Older\\Hexview.dll");
    ASSERT_TRUE(copyFile(fixtureDir("hexview") + "hexview.dll", pluginsDir() + "Viewers\\Hex\\Hexview.dll"));
    putPlugin("hexview", "Hex2\\Held.dll");
    ASSERT_TRUE(copyFile(fixtureDir("hexview") + "hexview.dll", pluginsDir() + "Held\\Held.dll"));
    openList();
    ASSERT_NE(nullptr, host->load(pluginsDir() + "Held\\Held.dll")) << host->lastError();
    const std::vector<std::string> yesNo = {"Yes", "No"}, cancelInstall = {text(MBtnCancel), text(MBtnInstall)};
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::string> buttons;
        std::vector<std::string> present, absent;
        std::string path;   // a path line the question shows
    } cases[] = {
        {"random bytes", {"Junk\\junk.dll"}, cancelInstall,
         {"junk.dll " + text(MNotPluginBecause), "  " + text(MUnfitNotDll)}, {text(MUpdatesPlugin)}, ""},
        {"a Unicode build", {"Uni\\uni.dll"}, cancelInstall, {"  " + text(MUnfitUnicode)}, {}, ""},
        {"a 64-bit DLL", {"Wide\\win64.dll"}, cancelInstall, {"  " + text(MUnfit64Bit)}, {}, ""},
        {"two DLLs, each checked", {"Exe\\exe.dll", "Clock\\Hexview.dll"}, cancelInstall,
         {"exe.dll " + text(MNotPluginBecause)}, {"Hexview.dll " + text(MNotPluginBecause)}, ""},
        {"an update of a plugin installed elsewhere", {"Clock\\Hexview.dll"}, cancelInstall,
         {text(MUpdatesPlugin), text(MVersionInstalled) + " 2.1.0, " + text(MVersionNew) + " 3.0.2"},
         {text(MLoadedNoUpdate)}, pluginsDir() + "Viewers\\Hex"},
        // FAR 1.70 build 2087's records are known: a plugin it holds is updated in place.
        {"a plugin the host holds", {"Hex2\\Held.dll"}, cancelInstall, {text(MUpdateLoaded)},
         {text(MLoadedNoUpdate), text(MMustUnload)}, pluginsDir() + "Held"},
        {"a folder without a DLL", {"Docs"}, yesNo, {text(MNoPluginDll)}, {text(MUpdatesPlugin)}, ""},
    };
    for (const auto& c : cases) {
        // The first button: No, or Cancel where a warning makes it the default.
        farhost::PutResult r = drop(c.names, {c.buttons == yesNo ? 1 : 0});
        EXPECT_EQ(0, r.result) << c.what;
        ASSERT_EQ(1u, boxes().size()) << c.what;
        const farhost::MessageCall q = boxes()[0];
        EXPECT_EQ(c.buttons, q.buttons) << c.what;
        EXPECT_EQ(c.buttons != yesNo, (q.flags & FMSG_WARNING) != 0) << c.what;
        for (const auto& line : c.present) EXPECT_TRUE(contains(q.lines, line)) << c.what << ": " << line;
        for (const auto& line : c.absent) EXPECT_FALSE(contains(q.lines, line)) << c.what << ": " << line;
        if (!c.path.empty()) {
            EXPECT_TRUE(hasPathLine(q.lines, c.path)) << c.what << ": " << c.path;
        }
    }
    // A downgrade says so.
    drop({"Older\\Hexview.dll"}, {0});
    ASSERT_EQ(1u, boxes().size());
    bool older = false;
    const std::vector<std::string> downgrade = boxes()[0].lines;
    for (const auto& line : downgrade)
        older = older || (line.find(text(MVersionInstalled) + " 2.1.0") == 0 &&
                          line.size() > text(MVersionOlder).size() &&
                          line.substr(line.size() - text(MVersionOlder).size()) == text(MVersionOlder));
    EXPECT_TRUE(older);
    // Going on is still the user's choice; the closing box does not call it a plugin.
    farhost::PutResult r = drop({"Junk\\junk.dll"}, {1});
    EXPECT_EQ(1, r.result);
    EXPECT_TRUE(fileExists(pluginsDir() + "junk\\junk.dll"));
    expectClosingBox(boxes().at(1), {MFilesCopiedOne});
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

// The archiver runs in a staging folder outside the plugins tree, which is
// its target too, with the archive's full path; the question names the
// archive, its size and where it goes; only then is the folder put in place.
TEST_F(ArchiveInstallTest, TheConfiguredCommandRunsRewrittenInAStagingFolder) {
    putArchive("NetTool.zip", "NetTool.zip");
    putArchive("net tools.zip", "net tools.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x {-p%P} -y %A -l%L");
    const struct { const char* name; const char* folder; std::string quoted; } cases[] = {
        {"NetTool.zip", "NetTool", downloads() + "NetTool.zip"},
        {"net tools.zip", "net tools", "\"" + downloads() + "net tools.zip\""},   // one word for the archiver
    };
    for (const auto& c : cases) {
        DeleteFileA((archiver() + ".log").c_str());
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(1, r.result) << c.name;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.name;
        EXPECT_EQ(kYesNo, b[0].flags);
        ASSERT_EQ(5u, b[0].lines.size()) << c.name;
        EXPECT_EQ("Vantorel", b[0].lines[0]);
        EXPECT_EQ(text(MAskInstallArchives), b[0].lines[1]);
        EXPECT_EQ(std::string(c.name) + " (" + withThousands(sizeOf(c.name)) + " " + text(MInstallBytes) + ") " +
                      text(MInstallInto),
                  b[0].lines[2]);
        EXPECT_TRUE(hasPathLine(b[0].lines, pluginsDir() + c.folder)) << c.name;
        expectClosingBox(b[1], {MInstalledPlugin, MInstallRestartOne});
        std::vector<std::string> ran = commandLines(archiver());
        ASSERT_EQ(1u, ran.size());
        // The target is a staging folder in FAR's folder, outside Plugins (gone again by now).
        std::string start = shortPath(archiver()) + " x  -y " + c.quoted + " " + shortPath(farDir());
        EXPECT_EQ(start, ran[0].substr(0, start.size()));
        EXPECT_EQ(std::string::npos, ran[0].find("PLUGIN", start.size())) << ran[0];
        EXPECT_EQ(std::string::npos, ran[0].find("Plugin", start.size())) << ran[0];
        EXPECT_EQ('\\', ran[0].back());
        EXPECT_TRUE(fileExists(pluginsDir() + c.folder + "\\" + (c.folder == std::string("NetTool") ? "nettool.dll"
                                                                                                    : "netscan.dll")))
            << c.name;
        EXPECT_EQ(host->savedScreens(), host->restoredScreens());
    }
    EXPECT_TRUE(fileExists(pluginsDir() + "NetTool\\doc"));
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging"));
}

// An archiver that unpacks into its working folder whatever target it is
// given still lands its files in the plugin's folder.
TEST_F(ArchiveInstallTest, AnArchiverThatUnpacksIntoItsWorkingFolderIsServedToo) {
    putArchive("NetTool.zip", "NetTool.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -c");
    farhost::PutResult r = drop({"NetTool.zip"});
    EXPECT_EQ(1, r.result);
    EXPECT_TRUE(fileExists(pluginsDir() + "NetTool\\nettool.dll"));
    EXPECT_FALSE(fileExists(downloads() + "nettool.dll"));
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
        // After the first install the folder is there: Install after the warning.
        farhost::PutResult r = drop({"NetTool.zip"}, {folderThere("NetTool") ? 1 : 0});
        EXPECT_EQ(1, r.result) << c.what;
        for (const auto& exe : {userArchiver, machineArchiver, moduleArchiver})
            EXPECT_EQ(exe == c.ran ? 1u : 0u, commandLines(exe).size()) << c.what << ": " << exe;
    }
}

TEST_F(ArchiveInstallTest, WithoutAConfiguredCommandTheFormatModuleBesideTheArchivePluginIsAsked) {
    putArchive("lib.beta.zip", "lib.beta.zip");
    putArchive("NetTool.zip", "x.ZIP");
    const struct { const char* fixture; const char* name; const char* folder; const char* file; int go; } cases[] = {
        {"multiarc", "lib.beta.zip", "lib.beta", "libbeta.dll", 1},   // after the warning: Install
        {"multiarcbin", "x.ZIP", "x", "nettool.dll", 0},              // DLL in bin, formats beside bin
    };
    // An existing target folder keeps what the archive does not replace, after a warning.
    ASSERT_TRUE(writeFile(pluginsDir() + "lib.beta\\keep.txt", "kept"));
    for (const auto& c : cases) addFixture(c.fixture, std::string(c.fixture) + "\\MultiArc\\");
    openList();
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name}, {c.go});
        EXPECT_EQ(1, r.result) << c.name;
        EXPECT_TRUE(fileExists(pluginsDir() + c.folder + "\\" + c.file)) << c.name;
    }
    EXPECT_EQ("kept", readFile(pluginsDir() + "lib.beta\\keep.txt"));
    // The first MultiArc in the catalogue answered for both.
    std::vector<std::string> runs;
    for (const auto& c : cases) {
        std::vector<std::string> lines = commandLines(pluginsDir() + c.fixture + "\\MultiArc\\Formats\\arcx.exe");
        runs.insert(runs.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(2u, runs.size());
}

// An unpack that fails, or that ends well but brings nothing (or no DLL
// where the archive's name promised an installed plugin), is told in the
// closing box with its reason, keeps the archive selected, and leaves the
// plugins tree as it was: the archiver only ever wrote to a staging folder.
TEST_F(ArchiveInstallTest, AFailedOrEmptyUnpackIsToldAndChangesNothing) {
    putArchive("NetTool.zip", "NetTool.zip");
    putArchive("bad.zip", "bad.zip");
    putArchive("mixed.zip", "Clock.zip");
    addFixture("clock", "Clock\\");
    ASSERT_TRUE(writeFile(pluginsDir() + "Old\\old.txt", "old"));
    putArchive("NetTool.zip", "Old.zip");
    openList();
    std::string failing = shortPath(archiver()) + " x -e9 -y";
    std::string nothing = shortPath(archiver()) + " x -e0 -y";
    const struct {
        const char* what;
        std::string command;
        const char* name;
        std::vector<std::string> reasons;   // each failure line's start
    } cases[] = {
        {"exit code 9", failing, "NetTool.zip",
         {"NetTool.zip: " + text(MFailExitCode) + " 9", text(MFailCommand) + " " + failing.substr(0, 12)}},
        {"bad data", shortPath(archiver()) + " x -y", "bad.zip", {"bad.zip: " + text(MFailExitCode) + " 2"}},
        {"no archiver", "C:\\no\\such\\archiver.exe x -y", "NetTool.zip", {"NetTool.zip: " + text(MFailNotStarted)}},
        {"no command", "", "NetTool.zip", {"NetTool.zip: " + text(MFailNoCommand)}},
        {"exit code 0, nothing unpacked", nothing, "NetTool.zip", {"NetTool.zip: " + text(MFailNothingExtracted)}},
        {"no DLL of the plugin it is named after", shortPath(archiver()) + " x -y", "Clock.zip",
         {"Clock.zip: " + text(MFailNoDllExtracted)}},
        {"a folder that existed", failing, "Old.zip", {"Old.zip: " + text(MFailExitCode) + " 9"}},
    };
    const std::vector<std::string> before = entriesOf(pluginsDir());
    const std::vector<std::string> clockBefore = entriesOf(pluginsDir() + "Clock");
    for (const auto& c : cases) {
        configure("zip", c.command);
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>{true}, r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(1u, b.size()) << c.what << ": no question about what failed, the closing box";
        EXPECT_EQ(text(MInstallNothing), b[0].lines.at(1)) << c.what;
        for (size_t i = 0; i < c.reasons.size(); ++i) {
            std::string line = b[0].lines.at(2 + i);
            EXPECT_EQ(c.reasons[i], line.substr(0, c.reasons[i].size())) << c.what;
            EXPECT_LE(line.size(), 64u) << c.what << ": fits an 80-column box";
            EXPECT_EQ(std::string::npos, line.find("  ")) << c.what << ": single blanks";
        }
        EXPECT_FALSE(contains(b[0].lines, text(MInstallRestart))) << c.what << ": nothing to restart for";
        EXPECT_EQ(before, entriesOf(pluginsDir())) << c.what;
        EXPECT_EQ(host->savedScreens(), host->restoredScreens()) << c.what;
    }
    EXPECT_EQ("old", installed("Old\\old.txt"));
    EXPECT_EQ(clockBefore, entriesOf(pluginsDir() + "Clock"));
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging"));
    // The same archive under a name that promises nothing is copied, and not called a plugin.
    putArchive("mixed.zip", "Docs.zip");
    configure("zip", shortPath(archiver()) + " x -y");
    farhost::PutResult r = drop({"Docs.zip"});
    EXPECT_EQ(1, r.result);
    expectClosingBox(boxes().at(1), {MFilesCopiedOne});
    EXPECT_TRUE(fileExists(pluginsDir() + "Docs\\docs\\manual.txt"));
}

// Declining the folders still asks about the archives dropped with them, and
// the progress box of the folders is gone before the archive question.
TEST_F(ArchiveInstallTest, EachQuestionIsAskedOnItsOwnScreen) {
    putPlugin("clock", "Net\\net.dll");
    putArchive("NetTool.zip", "NetTool.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    // Answers: 0 Yes, 1 No; the second time the archive updates the plugin
    // the first installed: a warning, whose first button is Cancel. The
    // archiver's runs so far (it unpacks before its question).
    const struct { int folders, archives; std::vector<bool> kept; bool net; size_t runs; } cases[] = {
        {1, 0, {false, true}, false, 1},
        {0, 0, {true, false}, true, 2},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop({"NetTool.zip", "Net"}, {c.folders, c.archives});
        EXPECT_EQ(0, r.result);
        EXPECT_EQ(c.kept, r.kept);
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(3u, b.size());
        EXPECT_EQ(kFolderQuestion, b[0].flags);
        EXPECT_EQ(text(MAskInstallArchives), b[1].lines.at(1));
        expectClosingBox(b[2], {MInstalledPlugin, MInstallRestartOne});
        EXPECT_EQ(c.net, folderThere("Net"));
        EXPECT_EQ(c.runs, commandLines(archiver()).size());
    }
    // The last drop copied the folder, then asked about the archive.
    const std::vector<std::string>& t = host->transcript;
    size_t question = 0, progressDrawn = 0, restored = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].find(text(MAskInstallArchives)) != std::string::npos && !question) question = i;
        if (question) continue;
        if (t[i].find(text(MCopying)) != std::string::npos) progressDrawn = i;
        if (t[i].compare(0, 14, "RestoreScreen(") == 0) restored = i;
    }
    ASSERT_GT(question, 0u);
    ASSERT_GT(progressDrawn, 0u);
    EXPECT_GT(restored, progressDrawn) << "the progress box is still drawn when the archive question comes";
}

// A target folder whose path is too long is told before anything is asked,
// its path shortened in the middle (its start and its end show) and the reason given.
TEST_F(ArchiveInstallTest, ATargetThatCannotBeMadeIsReportedShortenedInTheMiddle) {
    std::string longStem = sized(240, 'p');
    putPlugin("clock", longStem + ".dll");
    // A folder whose own path fits, but not once it stands in the plugins folder.
    std::string longFolder = sized(MAX_PATH - pluginsDir().size(), 'f');
    ASSERT_LT((downloads() + longFolder).size(), static_cast<size_t>(MAX_PATH));
    ASSERT_TRUE(makeDirs(downloads() + longFolder));
    putArchive("NetTool.zip", longStem + ".zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    const struct { const char* what; std::string name; char last; } cases[] = {
        {"a plugin folder too long", longStem + ".dll", 'p'},
        {"a folder too long", longFolder, 'f'},
        {"an archive's folder too long", longStem + ".zip", 'p'},
    };
    const std::string start = text(MFailFolder) + " " + pluginsDir().substr(0, 3) + "...";
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(0, r.result) << c.what;
        EXPECT_EQ(std::vector<bool>{true}, r.kept) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(1u, b.size()) << c.what;
        // The reason has no room beside the path: it follows on a line of its own.
        ASSERT_EQ(5u, b[0].lines.size()) << c.what;
        EXPECT_EQ(text(MInstallNothing), b[0].lines[1]);
        std::string line = b[0].lines[2];
        std::string expectedEnd = std::string(6, c.last) + ":";
        EXPECT_EQ(start, line.substr(0, start.size())) << c.what;
        ASSERT_GE(line.size(), expectedEnd.size());
        EXPECT_EQ(expectedEnd, line.substr(line.size() - expectedEnd.size())) << c.what;
        EXPECT_EQ(64u, line.size()) << c.what << ": as wide as an 80-column box shows";
        EXPECT_EQ("  " + text(MErrNameTooLong), b[0].lines[3]) << c.what;
        EXPECT_TRUE(host->problems.empty()) << host->problems.front();
    }
    EXPECT_TRUE(commandLines(archiver()).empty());
}

// One place per plugin: a DLL that is installed already, wherever it lies and
// whatever its folder is called, updates that plugin's folder instead of
// making a second one beside it (FAR would list the plugin twice), whether it
// comes loose, in a folder, or in an archive. A loose DLL with companions
// goes over the plugin's folder; a folder or an archive replaces it whole.
TEST_F(ArchiveInstallTest, AnInstalledPluginsDllUpdatesItsFolderWhereverItLies) {
    addFixture("clock", "FTP\\");
    ASSERT_TRUE(writeFile(pluginsDir() + "FTP\\FtpEng.lng", "old language file"));
    ASSERT_TRUE(writeFile(pluginsDir() + "FTP\\user.ini", "the user's own"));
    ASSERT_TRUE(copyFile(fixtureDir("clock") + "clock.dll", downloads() + "Ftp\\FarFtp.dll"));
    ASSERT_TRUE(copyFile(fixtureDir("clock") + "clock.dll", pluginsDir() + "FTP\\FarFtp.dll"));
    ASSERT_TRUE(DeleteFileA((pluginsDir() + "FTP\\clock.dll").c_str()));
    put("Ftp\\FtpEng.lng", "new language file");
    addFixture("libbeta", "LibBeta\\");
    ASSERT_TRUE(writeFile(pluginsDir() + "LibBeta\\stale.txt", "from the old version"));
    ASSERT_TRUE(copyFile(fixtureDir("libbeta") + "libbeta.dll", downloads() + "Beta2\\LIBBETA.DLL"));
    put("Beta2\\readme.txt", "beta 2");
    addFixture("netscan", "Tools\\NetScan\\");
    putArchive("net tools.zip", "net tools.zip");
    putArchive("lib.beta.zip", "lib.beta.zip");
    openList();
    configure("zip", shortPath(archiver()) + " x -y");
    const std::vector<std::string> before = entriesOf(pluginsDir());
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::string folder;                    // the installed plugin's folder
        std::string file, content;             // a file there afterwards
        std::string kept;                      // an old file the new build does not replace, or ""
    } cases[] = {
        {"a loose DLL and its language file", {"Ftp\\FarFtp.dll", "Ftp\\FtpEng.lng"}, "FTP", "FtpEng.lng",
         "new language file", ""},
        {"a folder holding the DLL", {"Beta2"}, "LibBeta", "readme.txt", "beta 2", "stale.txt"},
        {"an archive holding the DLL", {"net tools.zip"}, "Tools\\NetScan", "netscan.dll",
         readFile(downloads() + "..\\Far\\Plugins\\Tools\\NetScan\\netscan.dll"), ""},
        {"an archive named otherwise", {"lib.beta.zip"}, "LibBeta", "libbeta.dll",
         readFile(fixtureDir("libbeta") + "libbeta.dll"), "readme.txt"},
    };
    for (const auto& c : cases) {
        // The question names the plugin's folder; Install goes on past the warning.
        farhost::PutResult r = drop(c.names, {1});
        EXPECT_EQ(1, r.result) << c.what;
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_EQ(2u, b.size()) << c.what;
        EXPECT_TRUE(contains(b[0].lines, text(MUpdatesPlugin))) << c.what;
        EXPECT_TRUE(hasPathLine(b[0].lines, pluginsDir() + c.folder)) << c.what;
        for (const std::string& line : b[0].lines) {
            std::string into = " " + text(MInstallInto);
            EXPECT_FALSE(line.size() >= into.size() && line.compare(line.size() - into.size(), into.size(), into) == 0)
                << c.what << ": the target is named once, after the plugin it replaces: " << line;
        }
        expectClosingBox(b[1], {MInstalledPlugin, MInstallRestartOne});
        EXPECT_EQ(c.content, installed(c.folder + "\\" + c.file)) << c.what;
        if (!c.kept.empty()) {
            EXPECT_TRUE(fileExists(pluginsDir() + c.folder + "\\" + c.kept)) << c.what << ": the old build's file stays";
        }
        EXPECT_EQ(before, entriesOf(pluginsDir())) << c.what << ": no second folder";
    }
    EXPECT_EQ("the user's own", installed("FTP\\user.ini"));
    // The list shows each plugin once.
    std::vector<std::string> names;
    for (const auto& e : panel->items()) names.push_back(e.name);
    for (const char* folder : {"FTP", "LibBeta", "Tools\\NetScan"})
        EXPECT_EQ(1, std::count(names.begin(), names.end(), pluginsDir() + folder)) << folder;
    EXPECT_FALSE(fileExists(farDir() + "Vantorel.staging"));
}

// A closing box lists the first failures and counts the rest.
TEST_F(InstallTest, ManyFailuresEndWithHowManyMore) {
    std::vector<HANDLE> held;
    for (int i = 0; i < 15; ++i) {
        std::string name = downloads() + "Tree\\f" + std::to_string(i) + ".txt";
        ASSERT_TRUE(writeFile(name, "x"));
        held.push_back(CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    openList();
    farhost::PutResult r = drop({"Tree"});
    for (HANDLE h : held) CloseHandle(h);
    EXPECT_EQ(0, r.result);
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(2u, b.size());
    const std::vector<std::string>& lines = b[1].lines;
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(text(MInstallNothing), lines[1]);
    std::string more = text(MAndMore);
    more.replace(more.find("%d"), 2, "3");   // 15 failures, 12 shown
    EXPECT_EQ(more, lines[lines.size() - 2]);
    EXPECT_EQ(16u, lines.size());   // the title, the headline, 12 failures, the count, the separator
}

// A newer build of a plugin FAR has loaded, dropped onto the list: one
// question, the plugin unloaded, its folder swapped whole, and FAR loads the
// new build at the plugin's next use, without a restart.
TEST_F(InstallTest, ALoadedPluginIsUpdatedInPlaceAndTheNewBuildRunsAtItsNextUse) {
    const struct { const char* what; std::vector<std::string> names; const char* held; } drops[] = {
        {"the DLL", {"calllogall.dll"}, nullptr},
        {"its folder", {"Zeta"}, nullptr},
        {"a copy that fails half way", {"Zeta"}, "Zeta\\notes.txt"},
    };
    for (const FarBuild& build : FAR_BUILDS)
    for (const auto& d : drops) {
        SCOPED_TRACE(std::string(build.name) + ", " + d.what);
        addFixture("calllogall", "Zeta\\");
        ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", downloads() + "calllogall.dll"));
        ASSERT_TRUE(copyFile(fixtureDir("calllogall2") + "calllogall2.dll", downloads() + "Zeta\\calllogall.dll"));
        put("Zeta\\notes.txt", "notes");
        HANDLE held = d.held ? CreateFileA((downloads() + d.held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                           nullptr)
                             : INVALID_HANDLE_VALUE;
        FarSetup setup;
        setup.loadAll = true;
        setup.far175 = build.far175;
        openList(setup);
        std::string dll = pluginsDir() + "Zeta\\calllogall.dll";
        ASSERT_TRUE(GetModuleHandleA(dll.c_str()));

        farhost::PutResult r = drop(d.names, {1});   // Cancel first: Install is the second button
        ASSERT_EQ(2u, boxes().size());
        EXPECT_TRUE(contains(boxes()[0].lines, text(MUpdateLoaded)));
        if (held != INVALID_HANDLE_VALUE) {
            // Nothing of the new build went in, and FAR keeps the old one loaded.
            CloseHandle(held);
            EXPECT_EQ(0, r.result);
            EXPECT_EQ(text(MInstallNothing), boxes()[1].lines.at(1));
            EXPECT_TRUE(GetModuleHandleA(dll.c_str()));
            EXPECT_EQ(readFile(fixtureDir("calllogall") + "calllogall.dll"), readFile(dll));
            EXPECT_FALSE(fileExists(pluginsDir() + "Zeta\\notes.txt"));
        } else {
            EXPECT_EQ(1, r.result);
            expectClosingBox(boxes()[1], {MInstalledPlugin, MUpdatedInPlace1, MUpdatedInPlace2});
            EXPECT_FALSE(GetModuleHandleA(dll.c_str())) << "released; FAR loads it at its next use";
            EXPECT_FALSE(fileExists(pluginsDir() + "calllogall")) << "no second copy";
            DeleteFileA((dll + ".log").c_str());
            ASSERT_NE(nullptr, host->findPlugin("calllogall.dll")->open(OPEN_DISKMENU, 0));
            std::vector<std::string> log = readLog("Zeta\\calllogall.dll");
            ASSERT_FALSE(log.empty());
            bool second = false;
            for (const auto& line : log) second |= line.find("SetStartupInfo") == 0 && line.find("build=2") != line.npos;
            EXPECT_TRUE(second);
        }
        EXPECT_TRUE(host->faults.empty()) << host->faults.front();
        host.reset();
        removeTree(pluginsDir());
        removeTree(downloads());
    }
}

// A drop whose plugin DLLs belong to two installed plugins, or whose plugin
// is installed loose in a plugins folder, would leave a second copy of a
// plugin that FAR lists twice: it is refused with its reason, and nothing
// changes.
TEST_F(InstallTest, APluginIsNeverInstalledTwice) {
    const struct {
        const char* what;
        std::vector<std::string> names;
        int reason;
    } cases[] = {
        {"a folder holding two installed plugins' DLLs", {"Both"}, MTwoInstalled},
        {"two installed plugins' DLLs dropped together", {"recorder.dll", "clock.dll"}, MTwoInstalled},
        {"a plugin installed loose in the plugins folder", {"Loose"}, MLooseInstalled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        addFixture("recorder", "Recorder\\");
        addFixture("clock", "Spy\\");
        ASSERT_TRUE(copyFile(fixtureDir("nover") + "nover.dll", pluginsDir() + "nover.dll"));
        putPlugin("recorder", "Both\\recorder.dll");
        putPlugin("clock", "Both\\clock.dll");
        putPlugin("recorder", "recorder.dll");
        putPlugin("clock", "clock.dll");
        putPlugin("nover", "Loose\\nover.dll");
        openList();
        const std::vector<std::string> before = entriesOf(pluginsDir());

        farhost::PutResult r = drop(c.names, {1});
        EXPECT_EQ(0, r.result);
        std::vector<farhost::MessageCall> b = boxes();
        ASSERT_FALSE(b.empty());
        bool told = false;
        for (const std::string& line : b.back().lines) told |= line.find(text(c.reason)) != std::string::npos;
        EXPECT_TRUE(told) << testing::PrintToString(b.back().lines);
        EXPECT_EQ(before, entriesOf(pluginsDir()));
        EXPECT_EQ(readFile(fixtureDir("recorder") + "recorder.dll"), installed("Recorder\\recorder.dll"));
        EXPECT_FALSE(fileExists(pluginsDir() + "Recorder\\clock.dll"));
        EXPECT_FALSE(fileExists(pluginsDir() + "Spy\\recorder.dll"));
        host.reset();
        removeTree(pluginsDir());
        removeTree(downloads());
    }
}

// What a question tells: the size of all that is dropped, folders with a
// DLL included; the description the list has for a plugin it updates; an
// archive that updates a plugin names its target once, after the plugin.
TEST_F(InstallTest, TheQuestionsCountAllThatIsDroppedAndDescribeWhatTheListDescribes) {
    addFixture("clock", "Clock\\");
    putPlugin("clock", "clock.dll");
    put("docs\\manual.txt", sized(1000));
    put("docs\\more\\notes.txt", sized(234));
    openList();
    std::string described;
    for (const auto& e : panel->items())
        if (e.name == pluginsDir() + "Clock") described = e.raw.Description ? e.raw.Description : "";
    ASSERT_FALSE(described.empty());

    drop({"clock.dll", "docs"}, {0});   // Cancel
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_EQ(1u, b.size());
    EXPECT_TRUE(contains(b[0].lines, withThousands(sizeOf("clock.dll") + 1234) + " " + text(MInstallBytes)))
        << testing::PrintToString(b[0].lines);
    EXPECT_TRUE(contains(b[0].lines, "(" + described + ")"));
    EXPECT_FALSE(contains(b[0].lines, text(MNoDescription)));
}

// A one-text question whose buttons are flags keeps its blank line before
// them: the host drops an empty last line.
TEST_F(InstallTest, TheFolderQuestionKeepsItsBlankLineBeforeTheButtons) {
    put("Plain\\readme.txt", "words");
    openList();
    drop({"Plain"}, {1});
    std::vector<farhost::MessageCall> b = boxes();
    ASSERT_FALSE(b.empty());
    ASSERT_GE(b[0].lines.size(), 2u);
    EXPECT_EQ(" ", b[0].lines.back()) << testing::PrintToString(b[0].lines);
}

// Updates whose new build lays its DLLs out otherwise: the plugin stays one
// plugin, listed once, its old DLLs never left beside the new ones.
TEST_F(InstallTest, AnUpdateThatMovesItsDllOrHoldsTwoStaysOnePlugin) {
    const struct {
        const char* what;
        std::vector<std::string> installed, dropped;   // DLL paths below the plugin's folder
        std::vector<std::string> after;                // what FAR's search for *.dll finds there
    } cases[] = {
        {"the DLL moves into bin\\", {"one.dll"}, {"bin\\one.dll"}, {"bin\\one.dll"}},
        {"the DLL moves out of bin\\", {"bin\\one.dll"}, {"one.dll"}, {"one.dll"}},
        {"two plugin DLLs, one in a subfolder", {"one.dll", "sub\\two.dll"}, {"one.dll", "sub\\two.dll"},
         {"one.dll", "sub\\two.dll"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& dll : c.installed)
            ASSERT_TRUE(copyFile(fixtureDir("recorder") + "recorder.dll", pluginsDir() + "Multi\\" + dll));
        ASSERT_TRUE(writeFile(pluginsDir() + "Multi\\notes.ini", "the user's"));
        for (const std::string& dll : c.dropped)
            ASSERT_TRUE(copyFile(fixtureDir("clock") + "clock.dll", downloads() + "Multi\\" + dll));
        openList();
        farhost::PutResult r = drop({"Multi"}, {1, 0});
        EXPECT_EQ(1, r.result) << testing::PrintToString(host->messages.empty() ? std::vector<std::string>()
                                                                                : host->messages[0].lines);
        std::vector<std::string> found;
        std::function<void(const std::string&)> walk = [&](const std::string& below) {
            WIN32_FIND_DATAA e;
            HANDLE h = FindFirstFileA((pluginsDir() + "Multi\\" + below + "*").c_str(), &e);
            if (h == INVALID_HANDLE_VALUE) return;
            do {
                std::string name = e.cFileName;
                if (name == "." || name == "..") continue;
                if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) walk(below + name + "\\");
                else if (name.size() > 4 && name.substr(name.size() - 4) == ".dll") found.push_back(below + name);
            } while (FindNextFileA(h, &e));
            FindClose(h);
        };
        walk("");
        std::sort(found.begin(), found.end());
        EXPECT_EQ(c.after, found);
        for (const std::string& dll : found)
            EXPECT_TRUE(readFile(fixtureDir("clock") + "clock.dll") == readFile(pluginsDir() + "Multi\\" + dll)) << dll;
        EXPECT_EQ("the user's", readFile(pluginsDir() + "Multi\\notes.ini"));
        host.reset();
        removeTree(pluginsDir() + "Multi");
        removeTree(downloads());
        removeTree(farDir() + "Vantorel.previous");
    }
}
