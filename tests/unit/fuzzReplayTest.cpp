// The fuzz targets run over their saved inputs (tests/fuzz/corpus/<target>/):
// the seeds and every past finding, through the same target code and the same
// models that the native fuzzing uses, so that a fixed finding stays fixed.
#include "fuzzTarget.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

int fuzzText(const uint8_t* data, size_t size);
int fuzzDescription(const uint8_t* data, size_t size);
int fuzzVersion(const uint8_t* data, size_t size);
int fuzzLanguage(const uint8_t* data, size_t size);
int fuzzCache(const uint8_t* data, size_t size);
int fuzzPe(const uint8_t* data, size_t size);

namespace {

struct Target {
    const char* name;
    FuzzEntry entry;
};

const Target TARGETS[] = {
    {"text", fuzzText},         {"description", fuzzDescription}, {"version", fuzzVersion},
    {"language", fuzzLanguage}, {"cache", fuzzCache},       {"pe", fuzzPe},
};

std::string corpusDir() {
    return std::string(VANTOREL_SOURCE_DIR_W) + "\\tests\\fuzz\\corpus\\";
}

// Names in a folder: its files, or its subfolders.
std::vector<std::string> namesIn(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != ".." && isFolder == folders) names.push_back(name);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

std::string currentInput;

void recordFailure(const char* target, const char* what) {
    ADD_FAILURE() << target << " input " << currentInput << ": " << what;
}

// Feeds every saved input of the target's corpus folder to its entry; a
// model disagreement is a test failure, a sanitizer finding natively would be
// a crash or an overrun here as well.
void replay(const Target& target) {
    FuzzFailureHandler saved = fuzzFailure;
    fuzzFailure = recordFailure;
    std::string folder = corpusDir() + target.name + "\\";
    std::vector<std::string> inputs = namesIn(folder, false);
    EXPECT_FALSE(inputs.empty()) << folder;
    for (const std::string& name : inputs) {
        currentInput = name;
        std::string bytes = testing_support::readFile(folder + name);
        target.entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    fuzzFailure = saved;
}

TEST(FuzzCorpus, TextHelpers) { replay(TARGETS[0]); }
TEST(FuzzCorpus, DescriptionRules) { replay(TARGETS[1]); }
TEST(FuzzCorpus, VersionRules) { replay(TARGETS[2]); }
TEST(FuzzCorpus, LanguageFileReading) { replay(TARGETS[3]); }
TEST(FuzzCorpus, CacheRecords) { replay(TARGETS[4]); }
TEST(FuzzCorpus, DllImageReading) { replay(TARGETS[5]); }

// A target whose source or corpus is not known here would never be replayed.
TEST(FuzzCorpus, EveryTargetAndCorpusFolderIsReplayed) {
    std::set<std::string> known;
    for (const Target& t : TARGETS) known.insert(t.name);
    std::set<std::string> folders, sources;
    for (const std::string& f : namesIn(corpusDir(), true)) folders.insert(f);
    for (const std::string& f : namesIn(std::string(VANTOREL_SOURCE_DIR_W) + "\\tests\\fuzz\\targets\\", false))
        if (f.size() > 8 && f.compare(f.size() - 8, 8, "Fuzz.cpp") == 0) sources.insert(f.substr(0, f.size() - 8));
    EXPECT_EQ(folders, known);
    EXPECT_EQ(sources, known);
}

}  // namespace
