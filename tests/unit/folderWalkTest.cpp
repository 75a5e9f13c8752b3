#include "catalogue/folderFacts.h"
#include "catalogue/pluginListing.h"
#include "runtime/folderWalk.h"
#include "state/pluginState.h"
#include "runtime/heap.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// The plugin DLLs a walk sees, as the discovery takes them.
int collectDlls(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isPluginDllName(entry->cFileName))
        static_cast<std::vector<std::string>*>(context)->push_back(std::string(folder) + entry->cFileName);
    return 0;
}

int recordVisit(const WIN32_FIND_DATAA* entry, const char* folder, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(std::string(folder) + entry->cFileName);
    return 0;
}

}  // namespace

TEST(PluginDllName, TakesDllsWhateverTheirCaseAndSwitchedOffOnesAndNothingElse) {
    const struct { const char* name; bool plugin; } names[] = {
        {"x.DLL", true}, {"y.Dll", true}, {"Long name.dll", true}, {"x.dll.off", true}, {"X.DLL.OFF", true},
        {"x.dll.bak", false}, {"x.dl", false}, {"nodot", false}, {"x.off", false}, {"dll", false},
    };
    for (const auto& n : names) EXPECT_EQ(n.plugin, isPluginDllName(n.name)) << n.name;
}

TEST(WalkFolder, VisitsAFolderBeforeItsContentsAndCountsOnlyItsOwnEntries) {
    TempDir dir("walk");
    writeFile(dir / "A\\a.dll", "1");
    writeFile(dir / "A\\sub\\deep.txt", "22");
    writeFile(dir / "B\\b.dll", "333");
    std::vector<std::string> visited;
    EXPECT_EQ(2, walkFolder(dir.path().c_str(), recordVisit, &visited, 1));
    auto at = [&](const std::string& p) { return std::find(visited.begin(), visited.end(), p) - visited.begin(); };
    ASSERT_EQ(6u, visited.size());
    EXPECT_LT(at(dir / "A"), at(dir / "A\\a.dll"));
    EXPECT_LT(at(dir / "A\\sub"), at(dir / "A\\sub\\deep.txt"));
    // depth first: all of A's tree comes before or after all of B's
    bool aFirst = at(dir / "A") < at(dir / "B");
    EXPECT_EQ(aFirst, at(dir / "A\\sub\\deep.txt") < at(dir / "B"));
    std::vector<std::string> flat;
    EXPECT_EQ(2, walkFolder(dir.path().c_str(), recordVisit, &flat, 0));
    EXPECT_EQ(2u, flat.size());
    TempDir empty("empty");
    EXPECT_EQ(0, walkFolder(empty.path().c_str(), recordVisit, &flat, 1));
    EXPECT_EQ(0, walkFolder((dir / "missing").c_str(), recordVisit, &flat, 1));
}

TEST(SumFileSizes, AddsLowSizesOfFilesAndWrapsAt32Bits) {
    WIN32_FIND_DATAA file = {}, folder = {};
    folder.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    folder.nFileSizeLow = 999;
    DWORD total = 0;
    file.nFileSizeLow = 0xFFFFFFFFu;
    sumFileSizes(&file, "C:\\", &total);
    file.nFileSizeLow = 11;
    file.nFileSizeHigh = 7;     // ignored
    sumFileSizes(&file, "C:\\", &total);
    sumFileSizes(&folder, "C:\\", &total);
    sumFileSizes(&file, "C:\\", nullptr);
    EXPECT_EQ(10u, total);
}

TEST(WalkFolder, ALinkedFolderLoopingBackIsScannedOnce) {
    TempDir dir("cycle");
    writeFile(dir / "Plugins\\A\\a.dll", "1");
    if (!makeFolderLink(dir / "Plugins\\A\\loop", dir / "Plugins")) GTEST_SKIP() << "no folder links here";
    std::vector<std::string> found;
    walkFolder((dir / "Plugins").c_str(), collectDlls, &found, 1);
    EXPECT_EQ((std::vector<std::string>{dir / "Plugins\\A\\a.dll"}), found);
    RemoveDirectoryA((dir / "Plugins\\A\\loop").c_str());
    DeleteFileA((dir / "Plugins\\A\\loop").c_str());
}

TEST(WalkFolder, ALinkedFolderLeadingAboveTheStartOrToAFolderAlreadyWalkedIsNotEntered) {
    TempDir dir("links");
    writeFile(dir / "Plugins\\Loop\\loop.dll", "12345");
    writeFile(dir / "Plugins\\Other\\other.dll", std::string(1000, 'o'));
    writeFile(dir / "Outside\\X\\x.dll", "1");
    if (!makeFolderLink(dir / "Plugins\\Loop\\up", dir / "Plugins")) GTEST_SKIP() << "no folder links here";
    // Two links to one folder outside: whichever comes first is walked, the other is not.
    ASSERT_TRUE(makeFolderLink(dir / "Plugins\\L1", dir / "Outside\\X"));
    ASSERT_TRUE(makeFolderLink(dir / "Plugins\\L2", dir / "Outside\\X"));

    DWORD total = 0;
    walkFolder((dir / "Plugins\\Loop").c_str(), sumFileSizes, &total, 1);
    EXPECT_EQ(5u, total) << "a size walk must not count the folder above it";

    std::vector<std::string> found;
    walkFolder((dir / "Plugins").c_str(), collectDlls, &found, 1);
    EXPECT_EQ(3u, found.size());
    EXPECT_EQ(1, static_cast<int>(std::count_if(found.begin(), found.end(), [](const std::string& f) {
                  return f.size() >= 5 && f.compare(f.size() - 5, 5, "x.dll") == 0;
              })));
    for (const char* link : {"Plugins\\Loop\\up", "Plugins\\L1", "Plugins\\L2"}) {
        RemoveDirectoryA((dir / link).c_str());
        DeleteFileA((dir / link).c_str());
    }
}

TEST(FolderFacts, EachFolderIsWalkedAndReadOncePerBuildWhateverItsLetterCase) {
    TempDir dir("totals");
    writeFile(dir / "A\\a.dll", std::string(10, 'a'));
    writeFile(dir / "A\\sub\\data", std::string(5, 'd'));
    writeFile(dir / "B\\b.dll", std::string(3, 'b'));
    writeFile(dir / "C\\c.dll", std::string(4, 'c'));
    writeFile(dir / "B\\file_id.diz", "Honey bee counter\r\n");
    FolderFacts totals(1);   // fewer folders expected than asked for: still right
    const struct { std::string folder; DWORD total; int walks; } asks[] = {
        {dir / "A", 15, 1}, {dir / "A", 15, 1}, {dir / "a", 15, 1},
        {dir / "B", 22, 2}, {dir / "C", 4, 3},  {dir / "B", 22, 3},
    };
    for (const auto& a : asks) {
        EXPECT_EQ(a.total, totals.totalOf(a.folder.c_str())) << a.folder;
        EXPECT_EQ(a.walks, totals.folderWalks()) << a.folder;
    }
    for (const char* folder : {"B\\", "b\\", "A\\", "B\\"}) {
        char description[128] = "stale";
        totals.filesDescriptionOf((dir / folder).c_str(), description);
        EXPECT_STREQ(folder[0] == 'A' ? "" : "Honey bee counter", description) << folder;
    }
    EXPECT_EQ(2, totals.folderReads());
}

TEST(WalkFolder, PathsBeyond259CharactersAreSkippedNotOverrun) {
    TempDir dir("long");
    std::string deep = dir.path();
    while (deep.size() < 230) deep += "dddddddddd\\";
    ASSERT_TRUE(makeDirs(deep));
    std::string longName = std::string(255 - 0, 'n');   // a legal name that cannot fit after the folder
    writeFile(deep + "ok.dll", "1");
    HANDLE h = CreateFileA((deep + longName.substr(0, 259 - deep.size() + 5) + ".dll").c_str(), GENERIC_WRITE, 0,
                           nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    std::vector<std::string> found;
    walkFolder(dir.path().c_str(), collectDlls, &found, 1);
    for (const std::string& p : found) EXPECT_LT(p.size(), 260u);
    EXPECT_NE(found.end(), std::find(found.begin(), found.end(), deep + "ok.dll"));
}
