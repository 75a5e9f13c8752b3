// Installing plugins by copying onto the list panel: a DLL with its
// companions, folders, archives unpacked with the archive plugin's command.
#include "harness.h"

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

TEST_F(InstallTest, ATargetThatCannotBeMadeIsReportedWithItsPath) {
    put("Foo.dll", "F");
    std::string longStem = sized(240, 'p');
    put(longStem + ".dll", "L");
    ASSERT_TRUE(writeFile(pluginsDir() + "Foo", "a file where the folder would go"));
    openList();
    const struct { const char* what; std::string name; std::string path; } cases[] = {
        {"a file in the way", "Foo.dll", pluginsDir() + "Foo"},
        {"a path too long for a folder", longStem + ".dll", pluginsDir() + longStem},
    };
    for (const auto& c : cases) {
        farhost::PutResult r = drop({c.name});
        EXPECT_EQ(1, r.result) << c.what;
        std::vector<std::string> seconds;
        for (const auto& m : host->messages) seconds.push_back(m.lines.size() > 1 ? m.lines[1] : "");
        ASSERT_EQ(4u, seconds.size()) << c.what;   // question, 39, the path, closing box
        EXPECT_EQ(text(39), seconds[1]) << c.what;
        EXPECT_EQ(c.path, seconds[2]) << c.what;
        expectClosingBox(host->messages[3], 27);
        EXPECT_TRUE(host->problems.empty()) << host->problems.front();
    }
}
