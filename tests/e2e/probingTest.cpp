// What the list learns from each plugin: asking the plugin itself, its files,
// its version resource; and foreign plugins that misbehave.
#include "harness.h"

using namespace testing_support;

namespace {

const farhost::PanelEntry* entryNamed(const farhost::Panel* panel, const std::string& name) {
    for (const auto& e : panel->items())
        if (e.name == name) return &e;
    return nullptr;
}

std::vector<std::string> logOf(const std::string& dll) { return readLines(dll + ".log"); }

int countOf(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const auto& l : lines) n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
}

}  // namespace

class ProbingTest : public HostTest {
protected:
    farhost::Panel* openList() {
        farhost::Panel* panel = vantorel->open();
        EXPECT_NE(nullptr, panel);
        return panel;
    }
    std::string description(const farhost::Panel* panel, const std::string& folder) {
        const farhost::PanelEntry* e = entryNamed(panel, pluginsDir() + folder);
        return e ? e->description : "<no item>";
    }
    std::string version(const farhost::Panel* panel, const std::string& folder) {
        const farhost::PanelEntry* e = entryNamed(panel, pluginsDir() + folder);
        return !e ? "<no item>" : (e->hasOwner ? e->owner : "<none>");
    }
};

TEST_F(ProbingTest, APluginNotLoadedIsLoadedGivenItsOwnPathAndMessagesAndFreedAgain) {
    addFixture("recorder", "RecA\\");
    addFixture("recorder", "RecB\\");
    start();
    farhost::Panel* panel = openList();
    for (const char* folder : {"RecA", "RecB"}) {
        std::string dll = pluginsDir() + folder + "\\recorder.dll";
        std::vector<std::string> log = logOf(dll);
        ASSERT_EQ(4u, log.size()) << folder;
        EXPECT_EQ("attach", log[0]);
        EXPECT_EQ(0u, log[1].find("SetStartupInfo module=" + dll + " ")) << log[1];
        EXPECT_EQ("GetPluginInfo", log[2]);
        EXPECT_EQ("detach", log[3]);   // freed before the next plugin was examined
        EXPECT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
    }
    EXPECT_EQ("Call recorder", description(panel, "RecA"));
    EXPECT_EQ("2.5.1", version(panel, "RecA"));
}

TEST_F(ProbingTest, ThePluginsLanguageFollowsTheHostsLanguage) {
    addFixture("recorder", "Rec\\");
    FarSetup setup;
    setup.language = "Russian";
    start(setup);
    farhost::Panel* panel = openList();
    std::vector<std::string> log = logOf(pluginsDir() + "Rec\\recorder.dll");
    ASSERT_GE(log.size(), 2u);
    EXPECT_NE("Call recorder", description(panel, "Rec"));
    EXPECT_NE(std::string::npos, log[1].find("msg0=" + description(panel, "Rec")));
}

TEST_F(ProbingTest, AHostLoadedPluginIsAskedWithoutASecondStartupAndStaysLoaded) {
    addFixture("recorder", "Rec\\");
    start();
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    farhost::Plugin* rec = host->load(dll);
    ASSERT_NE(nullptr, rec);
    size_t before = logOf(dll).size();
    openList();
    std::vector<std::string> log = logOf(dll);
    ASSERT_EQ(before + 1, log.size());
    EXPECT_EQ("GetPluginInfo", log.back());
    EXPECT_EQ(rec->module(), GetModuleHandleA(dll.c_str()));
}

TEST_F(ProbingTest, WithProbingOffNoForeignDllIsLoaded) {
    addFixture("recorder", "Rec\\");
    start();
    storeSettings(std::string("\1\0\0\1\1\0", 6));
    farhost::Panel* panel = openList();
    EXPECT_TRUE(logOf(pluginsDir() + "Rec\\recorder.dll").empty());
    // The description then comes from the plugin's files.
    EXPECT_EQ("Recorder help contents", description(panel, "Rec"));
}

TEST_F(ProbingTest, DescriptionsComeFromTheFirstSourceThatHasOne) {
    addFixture("noinfo", "NoInfo\\");
    addFixture("zerocounts", "Zero\\");
    addFixture("longmenu", "Long\\");
    start();
    farhost::Panel* panel = openList();
    EXPECT_EQ("No-info plugin", description(panel, "NoInfo"));          // help file
    EXPECT_EQ("Zero counts diz text", description(panel, "Zero"));     // file_id.diz, not the help file
    EXPECT_EQ(127u, description(panel, "Long").size());
}

// A plugin whose language file is missing finds none of its texts: its menu
// item is empty, as FAR shows it, and the list describes it from its files.
TEST_F(ProbingTest, APluginWithoutItsLanguageFileIsDescribedFromItsFilesWithoutAPlaceholder) {
    const struct {
        const char* folder;
        const char* removed[3];
        const char* expected;
    } rows[] = {
        {"NoLng", {"recEng.lng", "recRus.lng", nullptr}, "Recorder help contents"},
        {"NoLngNoHlf", {"recEng.lng", "recRus.lng", "recorder.hlf"}, "Recorder diz text"},
        {"NoRus", {"recRus.lng", nullptr, nullptr}, "Call recorder"},   // English stands in for Russian
    };
    for (const auto& row : rows) {
        addFixture("recorder", std::string(row.folder) + "\\");
        for (const char* name : row.removed) {
            if (name) {
                ASSERT_TRUE(DeleteFileA((pluginsDir() + row.folder + "\\" + name).c_str())) << name;
            }
        }
    }
    FarSetup setup;
    setup.language = "Russian";
    start(setup);
    farhost::Panel* panel = openList();
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, description(panel, row.folder)) << row.folder;
        EXPECT_EQ("2.5.1", version(panel, row.folder)) << row.folder;
    }
}

// A help file is read in pieces of 127 characters, and each piece counts as a
// line: a contents line standing at a piece's start inside a longer line counts.
TEST_F(ProbingTest, AHelpFileContentsLineMayBeginInsideAnOverlongLine) {
    addFixture("noinfo", "NoInfo\\");
    writeFile(pluginsDir() + "NoInfo\\noinfo.hlf",
              ".Language=English,English\n" + std::string(127, '=') + ".PluginContents=From the second piece\n");
    start();
    EXPECT_EQ("From the second piece", description(openList(), "NoInfo"));
}

// The rest of an overlong language-file line takes no message id, even when
// a NUL byte inside the line makes the read look short: the recorder's menu
// string (its message 0) stays its own.
TEST_F(ProbingTest, ALanguageFileLineWithANulByteTakesOneMessageId) {
    addFixture("recorder", "Rec\\");
    std::string comment = ";" + std::string(1, '\0') + std::string(257, 'x');   // fills the first read
    writeFile(pluginsDir() + "Rec\\recEng.lng",
              ".Language=English,English\r\n" + comment + "\"Shifted\"\r\n\"Call recorder\"\r\n\"Panel\"\r\n");
    start();
    EXPECT_EQ("Call recorder", description(openList(), "Rec"));
}

TEST_F(ProbingTest, FaultingPluginsAreContainedAndDescribedFromTheirFiles) {
    for (const char* name : {"faultinfo", "faultstartup", "raiser", "nullmenu", "nullstr", "garbage"})
        addFixture(name, std::string(name) + "\\");
    addFixture("recorder", "Rec\\");
    start();
    farhost::Panel* panel = openList();
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(8u, panel->items().size());
    EXPECT_EQ("Faulty", description(panel, "faultinfo"));
    EXPECT_EQ("0.9", version(panel, "faultinfo"));
    EXPECT_EQ("Startup fault diz text", description(panel, "faultstartup"));
    EXPECT_EQ("Raiser diz text", description(panel, "raiser"));
    EXPECT_EQ("Null menu list diz text", description(panel, "nullmenu"));
    // the scan went on past them
    EXPECT_EQ("Call recorder", description(panel, "Rec"));
    for (const char* name : {"faultinfo", "faultstartup", "raiser", "nullmenu", "nullstr", "garbage"})
        EXPECT_EQ(nullptr, GetModuleHandleA((pluginsDir() + name + "\\" + name + ".dll").c_str())) << name;
    EXPECT_LE(description(panel, "garbage").size(), 127u);
    EXPECT_TRUE(host->problems.empty());
}

TEST_F(ProbingTest, VersionsComeFromResourcesOrFileIdDiz) {
    addFixture("ver1001", "V1001\\");
    addFixture("ver20", "V20\\");
    addFixture("vertrans", "VTrans\\");
    addFixture("nover", "NoVer\\");
    addFixture("dizver", "DizVer\\");
    start();
    farhost::Panel* panel = openList();
    EXPECT_EQ("1, 0, 0, 1", version(panel, "V1001"));
    EXPECT_EQ(16u, version(panel, "V20").size());
    EXPECT_EQ("7.7.7", version(panel, "VTrans"));
    EXPECT_EQ("<none>", version(panel, "NoVer"));
    EXPECT_EQ("1.02b,", version(panel, "DizVer"));   // file_id.diz in the parent of bin
}

TEST_F(ProbingTest, ASecondBuildReusesUnchangedRecordsWithoutLoadingAnyPlugin) {
    addFixture("recorder", "Rec\\");
    start();
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    farhost::Panel* panel = openList();
    ASSERT_EQ(2, countOf(logOf(dll), "attach") + countOf(logOf(dll), "detach"));
    ASSERT_TRUE(fileExists(cacheFile()));
    EXPECT_EQ(0u, readFile(cacheFile()).size() % 775);
    host->clearTranscript();
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(1, countOf(logOf(dll), "attach"));
    EXPECT_EQ("Call recorder", description(panel, "Rec"));
    EXPECT_EQ("2.5.1", version(panel, "Rec"));
    for (const auto& m : host->messages) EXPECT_NE(0, m.buttonsNumber);   // nothing examined afresh: no progress drawn
}

TEST_F(ProbingTest, AChangedOrMovedDllOrARescanIsExaminedAfresh) {
    addFixture("recorder", "Rec\\");
    start();
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    farhost::Panel* panel = openList();
    ASSERT_EQ(1, countOf(logOf(dll), "attach"));

    setWriteTime(dll, writeTime(dll) + 10000000ull);
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(2, countOf(logOf(dll), "attach"));

    // Moved: same file, new folder, new path.
    panel->close();
    ASSERT_TRUE(MoveFileA((pluginsDir() + "Rec").c_str(), (pluginsDir() + "Moved").c_str()));
    std::string moved = pluginsDir() + "Moved\\recorder.dll";
    panel = openList();
    EXPECT_TRUE(panel->setCurrentByName("Moved")) << "listed at its new folder";
    EXPECT_FALSE(panel->setCurrentByName("Rec"));
    std::vector<std::string> log = logOf(moved);
    EXPECT_EQ(3, countOf(log, "attach"));

    // A rescan examines everything afresh (Shift+F5 sets it; here through the key).
    panel->key(VK_F5, PKF_SHIFT);
    log = logOf(moved);
    EXPECT_EQ(4, countOf(log, "attach"));
}

TEST_F(ProbingTest, ACachedPathDifferingInLetterCaseStillMatches) {
    addFixture("recorder", "Rec\\");
    start();
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    farhost::Panel* panel = openList();
    ASSERT_EQ(1, countOf(logOf(dll), "attach"));
    std::string bytes = readFile(cacheFile());
    for (size_t r = 0; r + 775 <= bytes.size(); r += 775)
        for (size_t i = r + 366; i < r + 366 + 260 && bytes[i]; ++i) bytes[i] = static_cast<char>(toupper(bytes[i]));
    writeFile(cacheFile(), bytes);
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(1, countOf(logOf(dll), "attach"));
}

TEST_F(ProbingTest, AGarbledCacheRecordThatStillMatchesIsTakenOverSafely) {
    addFixture("recorder", "Rec\\");
    start();
    farhost::Panel* panel = openList();
    std::string bytes = readFile(cacheFile());
    ASSERT_FALSE(bytes.empty());
    // Garble everything but each record's path and write time: no terminators,
    // references and counts pointing nowhere, a full version beside a set byte.
    unsigned seed = 12345;
    for (size_t r = 0; r + 775 <= bytes.size(); r += 775)
        for (size_t i = 0; i < 775; ++i) {
            bool keep = (i >= 20 && i < 28) || (i >= 366 && i < 626);
            if (!keep) bytes[r + i] = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16 | 1);
        }
    writeFile(cacheFile(), bytes);
    ASSERT_TRUE(panel->read());
    for (const auto& e : panel->items()) {
        EXPECT_LE(e.description.size(), 127u) << e.name;
        EXPECT_LE(e.owner.size(), 16u) << e.name;
        EXPECT_EQ(0, e.raw.CustomColumnNumber) << e.name;
        EXPECT_EQ(nullptr, e.raw.CustomColumnData) << e.name;
        EXPECT_EQ(0u, e.raw.Flags) << e.name;
        EXPECT_EQ(0u, e.raw.UserData) << e.name;
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), e.raw.FindData.dwFileAttributes) << e.name;
    }
    EXPECT_TRUE(host->problems.empty());
}

TEST_F(ProbingTest, APluginThatKeepsItselfLoadedCountsAsLoadedForTheRecordsAfterIt) {
    // Two copies under one file name: the first examined loads itself for
    // good, so at the second one's turn a DLL of that name is loaded.
    addFixture("keeper", "KeepA\\");
    addFixture("keeper", "KeepB\\");
    start();
    storeSettings(std::string("\1\0\0\1\0\1", 6));   // mark loaded plugins
    farhost::Panel* panel = openList();
    std::vector<std::string> a = logOf(pluginsDir() + "KeepA\\keeper.dll");
    std::vector<std::string> b = logOf(pluginsDir() + "KeepB\\keeper.dll");
    // Whichever was examined first was loaded and started once; the other was
    // answered by the module already loaded: no second load, no second start.
    std::vector<std::string>& first = a.empty() ? b : a;
    std::vector<std::string>& second = a.empty() ? a : b;
    EXPECT_TRUE(second.empty());
    EXPECT_EQ(1, countOf(first, "SetStartupInfo"));
    EXPECT_EQ(2, countOf(first, "GetPluginInfo"));
    int marked = 0;
    for (const char* folder : {"KeepA", "KeepB"}) {
        const farhost::PanelEntry* e = entryNamed(panel, pluginsDir() + folder);
        ASSERT_NE(nullptr, e);
        marked += (e->raw.FindData.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        EXPECT_EQ("Keeps itself loaded", e->description) << folder;
    }
    EXPECT_EQ(1, marked);
}

TEST_F(ProbingTest, AfterTheHostsLanguageChangesOnlyPluginsDescribedByTheirMenusAreAskedAgain) {
    addFixture("recorder", "Rec\\");
    addFakeDll("Diz\\diz.dll");
    ASSERT_TRUE(writeFile(pluginsDir() + "Diz\\file_id.diz", "Described by its diz\n"));
    start();
    std::string dll = pluginsDir() + "Rec\\recorder.dll";
    farhost::Panel* panel = openList();
    ASSERT_EQ("Call recorder", description(panel, "Rec"));
    // Changed after the scan: a re-examined Diz would show the new text.
    ASSERT_TRUE(writeFile(pluginsDir() + "Diz\\file_id.diz", "Changed since\n"));
    host->clearTranscript();
    host->setLanguage("Russian");
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(2, countOf(logOf(dll), "attach"));
    EXPECT_NE("Call recorder", description(panel, "Rec"));
    EXPECT_EQ("Described by its diz", description(panel, "Diz"));
    // And in that language it is taken from the cache again.
    ASSERT_TRUE(panel->read());
    EXPECT_EQ(2, countOf(logOf(dll), "attach"));
}
