#include "runtime/folderWalk.h"
#include "catalogue/pluginListing.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Points the plugins roots at a test tree for the life of the object.
class Roots {
public:
    Roots(const std::string& root, const char* personal)
        : savedRoot(pluginsRoot), savedPersonal(personalPluginsFolder), rootText(root) {
        pluginsRoot = rootText.c_str();
        personalPluginsFolder = personal;
    }
    ~Roots() {
        pluginsRoot = savedRoot;
        personalPluginsFolder = savedPersonal;
    }

private:
    const char* savedRoot;
    const char* savedPersonal;
    std::string rootText;
};

int collectDlls(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isPluginDllName(entry->cFileName))
        static_cast<std::vector<std::string>*>(context)->push_back(std::string(folder) + entry->cFileName);
    return 0;
}

DWORD walkedTotal(const std::string& folder) {
    DWORD total = 0;
    walkFolder(folder.c_str(), sumFileSizes, &total, 1);
    return total;
}

}  // namespace

// The build takes each plugin's size, times and short name from the discovery
// walk instead of asking for them again: they must be what a walk of the
// plugin's own folder and a look-up of the DLL itself give.
TEST(PluginListing, GivesEachFolderTheTotalItsOwnWalkGivesAndEachDllItsOwnFindData) {
    TempDir dir("listing");
    std::string root = dir / "Plugins\\", personal = dir / "Personal\\";
    const struct { const char* file; size_t size; } files[] = {
        {"Plugins\\A\\a.dll", 10},          {"Plugins\\A\\a.hlf", 3},
        {"Plugins\\B\\bin\\b.dll", 20},     {"Plugins\\B\\bin\\sub\\data", 5},  {"Plugins\\B\\readme", 7},
        {"Plugins\\C\\c1.dll", 4},          {"Plugins\\C\\c2.DLL", 6},         {"Plugins\\C\\x\\y\\z.txt", 9},
        {"Plugins\\D\\Long plugin name.dll.off", 11},
        {"Plugins\\Lnk\\l.dll", 1},         {"Outside\\o.txt", 100},           {"Personal\\p.dll", 2},
        {"Plugins\\C\\CEng.LNG", 1},       {"Plugins\\C\\crus.lng", 2},      {"Plugins\\C\\c.lng.bak", 3},
        {"Plugins\\C\\x\\deep.lng", 4},   {"Plugins\\T.dll\\inner.dll", 3},
    };
    for (const auto& f : files) ASSERT_TRUE(writeFile(dir / f.file, std::string(f.size, 'x')));
    bool linked = makeFolderLink(dir / "Plugins\\Lnk\\to", dir / "Outside");
    std::string personalText = personal;
    Roots roots(root, personalText.c_str());

    PluginListing listing;
    listing.discover();

    // A folder with a linked folder below it is left to a walk of its own:
    // from elsewhere the link may lead somewhere the discovery did not go.
    const struct { const char* folder; bool known; DWORD total; } folders[] = {
        {"Plugins\\A", true, 13},      {"Plugins\\b\\BIN\\", true, 25}, {"Plugins\\B", true, 32},
        {"Plugins\\C", true, 29},      {"Plugins\\C\\x", true, 13},      {"Plugins\\D", true, 11},
        {"Plugins\\Lnk", !linked, 1},  {"Plugins", !linked, 89},        {"Personal", false, 0},
        {"Plugins\\Missing", false, 0},
    };
    for (const auto& f : folders) {
        DWORD total = 0xDEAD;
        EXPECT_EQ(f.known, listing.folders().totalOf((dir / f.folder).c_str(), &total)) << f.folder;
        if (!f.known) continue;
        EXPECT_EQ(f.total, total) << f.folder;
        EXPECT_EQ(walkedTotal(dir / f.folder), total) << f.folder;
    }

    // Each folder's own *.lng files, in the order a search of the folder finds them.
    for (const char* folder : {"Plugins\\C\\", "Plugins\\C\\x", "Plugins\\A", "Personal"}) {
        std::string searched;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((dir / folder + "\\*.lng").c_str(), &data);
        if (h != INVALID_HANDLE_VALUE) {
            do searched += std::string(data.cFileName) + '\0';
            while (FindNextFileA(h, &data));
            FindClose(h);
        }
        const char* listed = listing.folders().languageFilesOf((dir / folder).c_str());
        if (!strcmp(folder, "Personal")) {
            EXPECT_EQ(nullptr, listed) << "the personal folder's are searched for";
            continue;
        }
        ASSERT_NE(nullptr, listed) << folder;
        std::string got;
        for (const char* name = listed; *name; name += strlen(name) + 1) got += std::string(name) + '\0';
        EXPECT_EQ(searched, got) << folder;
    }

    // Every DLL of both walks, folders named *.dll aside, the last found
    // first: the personal folder's before the plugins root's.
    std::vector<std::string> walked;
    walkFolder(root.c_str(), collectDlls, &walked, 1);
    walkFolder(personal.c_str(), collectDlls, &walked, 1);
    ASSERT_EQ(static_cast<int>(walked.size()), listing.count());
    EXPECT_STREQ((personal + "p.dll").c_str(), listing.path(0));
    for (int i = 0; i < listing.count(); ++i) {
        EXPECT_EQ(walked[walked.size() - 1 - static_cast<size_t>(i)], listing.path(i));
        WIN32_FIND_DATAA own;
        HANDLE h = FindFirstFileA(listing.path(i), &own);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << listing.path(i);
        FindClose(h);
        const WIN32_FIND_DATAA& listed = listing.found(i);
        EXPECT_STREQ(own.cFileName, listed.cFileName);
        EXPECT_STREQ(own.cAlternateFileName, listed.cAlternateFileName);
        EXPECT_EQ(own.nFileSizeLow, listed.nFileSizeLow);
        EXPECT_EQ(0, memcmp(&own.ftLastWriteTime, &listed.ftLastWriteTime, sizeof(FILETIME))) << listing.path(i);
        EXPECT_EQ(0, memcmp(&own.ftCreationTime, &listed.ftCreationTime, sizeof(FILETIME))) << listing.path(i);
    }
    if (linked) {
        RemoveDirectoryA((dir / "Plugins\\Lnk\\to").c_str());
        DeleteFileA((dir / "Plugins\\Lnk\\to").c_str());
    }
}
