// A change of a plugin's files may be cut off after any one of its file
// operations (FAR ends: another plugin faults, the power goes), and so may
// the repair that Vantorel runs at its next open, any number of times. Here
// every change kind, over every plugin shape, is stopped after each of its
// operations in turn; the repair is then stopped after each of its own, run
// to its end, and run once more. Afterwards every plugin must be whole, as
// before or as after, its previous build too, nothing staged may be left,
// and the last repair must change nothing.
#include "folders/besidePlugins.h"
#include "folders/dllSwitch.h"
#include "folders/fileOps.h"
#include "folders/journalRepair.h"
#include "folders/pluginSwap.h"
#include "state/pluginState.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

using namespace testing_support;

namespace {

enum Kind { INSTALL_NEW, UPDATE, UPDATE_OVER_PREVIOUS, GO_BACK, SWITCH_OFF, SWITCH_ON };
enum Shape { DLL_AT_TOP, DLL_IN_BIN, TWO_PLUGIN_DLLS, HELPER_DLL };
const Shape SHAPES[] = {DLL_AT_TOP, DLL_IN_BIN, TWO_PLUGIN_DLLS, HELPER_DLL};
const char* const SHAPE_NAMES[] = {"DLL at the top", "DLL in bin\\", "two plugin DLLs", "a helper DLL"};

typedef std::map<std::string, std::string> Tree;

// Everything under folder, by path below it.
void snapshot(const std::string& folder, const std::string& below, Tree& tree) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[below + name + "\\"] = "";
            snapshot(folder + name + "\\", below + name + "\\", tree);
        } else {
            tree[below + name] = readFile(folder + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

Tree under(const std::string& folder) {
    Tree tree;
    snapshot(folder, "", tree);
    return tree;
}

std::string show(const Tree& tree) {
    std::string text;
    for (const auto& entry : tree) text += entry.first + "=" + entry.second.substr(0, 8) + " ";
    return text.empty() ? "(nothing)" : text;
}

// The tests' Recycle Bin: a folder of the test's own on the same disk.
std::string binFolder;
int binSerial;
bool toTestBin(const char* folder) {
    CreateDirectoryA(binFolder.c_str(), nullptr);
    std::string to = binFolder + std::to_string(++binSerial);
    return MoveFileExA(folder, to.c_str(), 0) != 0;
}

class JournalCrash : public ::testing::Test {
protected:
    const char* savedRoot = nullptr;
    RecycleFunction savedRecycle = nullptr;
    std::string plugin = readFile(fixtureDir("clock") + "clock.dll");
    void SetUp() override {
        ASSERT_FALSE(plugin.empty());
        savedRoot = pluginsRoot;
        savedRecycle = recycleFolder;
        recycleFolder = toTestBin;
    }
    void TearDown() override {
        stopFileOpsAfter(-1);
        failWritesFrom(-1);
        pluginsRoot = savedRoot;
        recycleFolder = savedRecycle;
    }

    // One plugin folder of a shape, its build named by tag.
    void lay(const std::string& folder, Shape shape, const std::string& tag, bool off = false) {
        const std::string dll = off ? ".dll.off" : ".dll";
        writeFile(folder + "build.txt", tag);
        switch (shape) {
        case DLL_AT_TOP: writeFile(folder + "x" + dll, plugin); break;
        case DLL_IN_BIN:
            writeFile(folder + "bin\\x" + dll, plugin);
            writeFile(folder + "xEng.lng", tag);
            break;
        case TWO_PLUGIN_DLLS:
            writeFile(folder + "a\\a" + dll, plugin);
            writeFile(folder + "b\\b" + dll, plugin);
            break;
        case HELPER_DLL:
            writeFile(folder + "x" + dll, plugin);
            writeFile(folder + "helper.dll", "a helper: no FAR entry point");
            break;
        }
    }

    struct Run {
        TempDir dir{"crash"};
        std::string farDir = dir / "Far\\";
        std::string root = farDir + "Plugins\\";
        std::string target = root + "X";
        std::string previous = farDir + "Vantorel.previous\\X";
        std::string staged;
    };

    // Lays out the tree before the change.
    void prepare(Run& run, Kind kind, Shape shape) {
        pluginsRoot = run.root.c_str();
        binFolder = run.dir / "Bin\\";
        makeDirs(run.root + "Other\\");
        writeFile(run.root + "Other\\other.dll", plugin);
        if (kind != INSTALL_NEW) lay(run.target + "\\", shape, "old", kind == SWITCH_ON);
        if (kind != INSTALL_NEW) writeFile(run.target + "\\settings.ini", "the user's");
        if (kind == UPDATE_OVER_PREVIOUS || kind == GO_BACK) lay(run.previous + "\\", shape, "previous");
        if (kind <= UPDATE_OVER_PREVIOUS) {
            char staged[MAX_PATH] = {};
            ASSERT_TRUE(makeStagingFolder(run.target.c_str(), staged, sizeof staged));
            run.staged = staged;
            lay(run.staged + "\\", shape, "new");
        }
    }

    void change(Run& run, Kind kind) {
        SwitchFailure failure;
        switch (kind) {
        case SWITCH_OFF: switchDllsUnder(run.target.c_str(), true, &failure); break;
        case SWITCH_ON: switchDllsUnder(run.target.c_str(), false, &failure); break;
        case GO_BACK: placeStagedFolder(run.previous.c_str(), run.target.c_str()); break;
        default: placeStagedFolder(run.staged.c_str(), run.target.c_str()); break;
        }
    }

    void repair(Run& run) {
        recoverJournal((run.farDir + "Vantorel.journal").c_str());
        clearStagingLeftovers(true);
    }

    struct Ends {
        Tree plugins[2], previous[2];   // before, after
    };

    Ends ends(Kind kind, Shape shape) {
        Ends e;
        Run run;
        prepare(run, kind, shape);
        e.plugins[0] = under(run.root);
        e.previous[0] = under(run.farDir + "Vantorel.previous\\");
        change(run, kind);
        e.plugins[1] = under(run.root);
        e.previous[1] = under(run.farDir + "Vantorel.previous\\");
        EXPECT_NE(show(e.plugins[0]), show(e.plugins[1])) << "the change changes the plugin";
        EXPECT_FALSE(fileExists(run.farDir + "Vantorel.journal"));
        EXPECT_FALSE(fileExists(run.farDir + "Vantorel.staging"));
        return e;
    }

    // The change stopped after `change` operations, the repair after
    // `repairStop` (-1: not stopped), the journal made read-only before
    // the repair when readOnly. Whether the repair ran to its end.
    bool tryOnce(Kind kind, Shape shape, const Ends& e, int changeStop, int repairStop, bool readOnly,
                 bool* changeWhole) {
        Run run;
        prepare(run, kind, shape);
        stopFileOpsAfter(changeStop);
        change(run, kind);
        *changeWhole = fileOpsMade() <= changeStop;
        stopFileOpsAfter(-1);
        const std::string journal = run.farDir + "Vantorel.journal";
        if (*changeWhole) {
            EXPECT_EQ(show(e.plugins[1]), show(under(run.root))) << "whole without a stop";
            return true;
        }
        if (readOnly) SetFileAttributesA(journal.c_str(), FILE_ATTRIBUTE_READONLY);
        stopFileOpsAfter(repairStop);
        repair(run);
        bool repairWhole = repairStop < 0 || fileOpsMade() <= repairStop;
        stopFileOpsAfter(-1);
        repair(run);

        const std::string where = std::string("stopped after ") + std::to_string(changeStop) + ", repair after " +
                                  std::to_string(repairStop) + (readOnly ? ", read-only journal" : "");
        std::string plugins = show(under(run.root)), previous = show(under(run.farDir + "Vantorel.previous\\"));
        EXPECT_TRUE(plugins == show(e.plugins[0]) || plugins == show(e.plugins[1]))
            << where << ": the plugins are " << plugins;
        EXPECT_TRUE(previous == show(e.previous[0]) || previous == show(e.previous[1]))
            << where << ": the previous builds are " << previous;
        EXPECT_FALSE(fileExists(journal)) << where;
        EXPECT_FALSE(fileExists(run.farDir + "Vantorel.staging")) << where << ": " << show(under(run.farDir));
        // Run again, the repair finds nothing to do.
        std::string all = show(under(run.farDir));
        EXPECT_EQ(RECOVERY_NONE, recoverJournal(journal.c_str()).outcome) << where;
        EXPECT_EQ(all, show(under(run.farDir))) << where;
        return repairWhole;
    }

    // Every stop of the change, and for each every stop of its repair.
    void everyStop(Kind kind) {
        int pairs = 0;
        for (Shape shape : SHAPES) {
            SCOPED_TRACE(SHAPE_NAMES[shape]);
            Ends e = ends(kind, shape);
            bool changeWhole = false;
            for (int changeStop = 0; !changeWhole && changeStop < 60; ++changeStop) {
                bool repairWhole = false;
                for (int repairStop = 0; !repairWhole && repairStop < 60; ++repairStop, ++pairs) {
                    repairWhole = tryOnce(kind, shape, e, changeStop, repairStop, false, &changeWhole);
                    if (changeWhole || ::testing::Test::HasFailure()) break;
                }
                if (!changeWhole) tryOnce(kind, shape, e, changeStop, -1, true, &changeWhole);
                if (::testing::Test::HasFailure()) return;
            }
            EXPECT_TRUE(changeWhole) << "the change ends";
        }
        RecordProperty("stops", pairs);
        printf("[ stops    ] %d pairs of stops over %d shapes\n", pairs, 4);
    }
};

}  // namespace

TEST_F(JournalCrash, InstallingANewPluginStoppedAnywhere) { everyStop(INSTALL_NEW); }
TEST_F(JournalCrash, AnUpdateStoppedAnywhere) { everyStop(UPDATE); }
TEST_F(JournalCrash, AnUpdateOverAPreviousBuildStoppedAnywhere) { everyStop(UPDATE_OVER_PREVIOUS); }
TEST_F(JournalCrash, GoingBackStoppedAnywhere) { everyStop(GO_BACK); }
TEST_F(JournalCrash, SwitchingOffStoppedAnywhere) { everyStop(SWITCH_OFF); }
TEST_F(JournalCrash, SwitchingOnStoppedAnywhere) { everyStop(SWITCH_ON); }

// A journal that cannot be begun, noted or committed: the change does not
// start, or is taken back at once; once committed, a note that cannot be
// written leaves the journal for the repair, which finishes the change.
TEST_F(JournalCrash, AJournalThatCannotBeWrittenTakesTheChangeBackAtOnce) {
    for (Kind kind : {UPDATE_OVER_PREVIOUS, SWITCH_OFF}) {
        SCOPED_TRACE(kind == SWITCH_OFF ? "switching off" : "an update over a previous build");
        Ends e = ends(kind, TWO_PLUGIN_DLLS);
        bool whole = false;
        for (int failing = 0; !whole && failing < 20; ++failing) {
            SCOPED_TRACE(failing);
            Run run;
            prepare(run, kind, TWO_PLUGIN_DLLS);
            failWritesFrom(failing);
            change(run, kind);
            failWritesFrom(-1);
            std::string plugins = show(under(run.root));
            bool journal = fileExists(run.farDir + "Vantorel.journal");
            whole = !journal && plugins == show(e.plugins[1]);
            if (whole) break;
            if (!journal) {
                EXPECT_EQ(show(e.plugins[0]), plugins) << "taken back at once";
                EXPECT_EQ(show(e.previous[0]), show(under(run.farDir + "Vantorel.previous\\")));
                continue;
            }
            EXPECT_EQ(show(e.plugins[1]), plugins) << "only a committed change leaves its journal";
            repair(run);
            EXPECT_EQ(show(e.previous[1]), show(under(run.farDir + "Vantorel.previous\\"))) << "finished";
            EXPECT_FALSE(fileExists(run.farDir + "Vantorel.journal"));
        }
        EXPECT_TRUE(whole);
    }
}
