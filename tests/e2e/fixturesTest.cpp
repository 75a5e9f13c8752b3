// The foreign plugins that the end-to-end tests install are what
// fixtures/README.md promises: their exports, their version texts, the
// companion files that compete with their menu strings, and the recorder's log
// of the calls it receives from a host.
#include "farHost.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace farhost::api;

namespace {

std::string fixtureDll(const char* rel) { return buildDir() + "fixtures\\" + rel; }

// ---- exports -------------------------------------------------------------------

struct ExportCase {
    const char* dll;   // below the fixtures folder
    bool setStartupInfo, getPluginInfo, configure;
};

const ExportCase kExports[] = {
    {"recorder\\recorder.dll", true, true, true},
    {"noinfo\\noinfo.dll", true, false, false},
    {"zerocounts\\zerocounts.dll", true, true, false},
    {"faultinfo\\faultinfo.dll", true, true, false},
    {"faultstartup\\faultstartup.dll", true, true, false},
    {"raiser\\raiser.dll", true, true, false},
    {"longmenu\\longmenu.dll", true, true, false},
    {"nullmenu\\nullmenu.dll", true, true, false},
    {"nullstr\\nullstr.dll", true, true, false},
    {"ver1001\\ver1001.dll", true, true, false},
    {"ver20\\ver20.dll", true, true, false},
    {"vertrans\\vertrans.dll", true, true, false},
    {"nover\\nover.dll", true, true, false},
    {"dizver\\bin\\dizver.dll", true, true, false},
    {"binplug\\bin\\binplug.dll", true, true, false},
    {"garbage\\garbage.dll", true, false, false},
};

class FixtureExports : public ::testing::TestWithParam<ExportCase> {};

TEST_P(FixtureExports, LoadsAndExportsExactlyItsEntryPointsUndecorated) {
    const ExportCase& c = GetParam();
    // A copy, so that a recording fixture's log does not land in the build.
    TempDir dir("fxexp");
    std::string dll = dir / (strrchr(c.dll, '\\') + 1);
    ASSERT_TRUE(copyFile(fixtureDll(c.dll), dll)) << c.dll;
    HMODULE module = LoadLibraryA(dll.c_str());
    ASSERT_NE(nullptr, module) << c.dll << " error " << GetLastError();
    EXPECT_EQ(c.setStartupInfo, GetProcAddress(module, "SetStartupInfo") != nullptr) << c.dll;
    EXPECT_EQ(c.getPluginInfo, GetProcAddress(module, "GetPluginInfo") != nullptr) << c.dll;
    EXPECT_EQ(c.configure, GetProcAddress(module, "Configure") != nullptr) << c.dll;
    EXPECT_EQ(nullptr, GetProcAddress(module, "SetStartupInfo@4")) << c.dll;
    EXPECT_EQ(nullptr, GetProcAddress(module, "_SetStartupInfo@4")) << c.dll;
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureExports, ::testing::ValuesIn(kExports));

// ---- version resources ----------------------------------------------------------

struct VersionCase {
    const char* dll;
    const char* fileVersion;   // through the first translation pair; nullptr = no version resource
};

const VersionCase kVersions[] = {
    {"recorder\\recorder.dll", "2.5.1"},
    {"ver1001\\ver1001.dll", "1, 0, 0, 1"},
    {"ver20\\ver20.dll", "12.34.56.78-beta.999"},
    {"vertrans\\vertrans.dll", "7.7.7"},
    {"noinfo\\noinfo.dll", nullptr},
    {"nover\\nover.dll", nullptr},
    {"dizver\\bin\\dizver.dll", nullptr},
    {"binplug\\bin\\binplug.dll", nullptr},
    {"zerocounts\\zerocounts.dll", nullptr},
    {"faultinfo\\faultinfo.dll", nullptr},
};

// The version functions are taken from version.dll at run time: this test
// program is not otherwise linked with it.
struct VersionApi {
    typedef DWORD(WINAPI* SizeFn)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI* InfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI* QueryFn)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;
    VersionApi() {
        HMODULE dll = LoadLibraryA("version.dll");
        if (!dll) return;
        size = reinterpret_cast<SizeFn>(GetProcAddress(dll, "GetFileVersionInfoSizeA"));
        info = reinterpret_cast<InfoFn>(GetProcAddress(dll, "GetFileVersionInfoA"));
        query = reinterpret_cast<QueryFn>(GetProcAddress(dll, "VerQueryValueA"));
    }
};

const VersionApi& versionApi() {
    static VersionApi api;
    return api;
}

std::vector<char> versionBlock(const std::string& path) {
    const VersionApi& api = versionApi();
    std::vector<char> block;
    if (!api.size || !api.info) return block;
    DWORD ignored = 0;
    DWORD size = api.size(path.c_str(), &ignored);
    if (size == 0) return block;
    block.resize(size + 2);
    if (!api.info(path.c_str(), 0, size, block.data())) block.clear();
    return block;
}

bool queryValue(std::vector<char>& block, const char* query, void** value, UINT* length) {
    const VersionApi& api = versionApi();
    return api.query && api.query(block.data(), query, value, length);
}

std::string queryText(std::vector<char>& block, const char* query) {
    char* text = nullptr;
    UINT length = 0;
    if (!queryValue(block, query, reinterpret_cast<void**>(&text), &length) || !text) return "(none)";
    return text;
}

class FixtureVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FixtureVersions, FileVersionThroughTheFirstTranslationIsTheListedText) {
    const VersionCase& c = GetParam();
    ASSERT_NE(nullptr, versionApi().query) << "version.dll";
    std::vector<char> block = versionBlock(fixtureDll(c.dll));
    if (!c.fileVersion) {
        EXPECT_TRUE(block.empty()) << c.dll << " has no version resource";
        return;
    }
    ASSERT_FALSE(block.empty()) << c.dll;
    WORD* pairs = nullptr;
    UINT length = 0;
    ASSERT_TRUE(queryValue(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &length));
    ASSERT_GE(length, 4u);
    char query[64];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", pairs[0], pairs[1]);
    EXPECT_EQ(c.fileVersion, queryText(block, query)) << c.dll;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureVersions, ::testing::ValuesIn(kVersions));

TEST(FixtureVersionTables, VertransKeepsADifferentVersionInItsOtherStringTable) {
    std::vector<char> block = versionBlock(fixtureDll("vertrans\\vertrans.dll"));
    ASSERT_FALSE(block.empty());
    EXPECT_EQ("9.9.9", queryText(block, "\\StringFileInfo\\040904e4\\FileVersion"));
    EXPECT_EQ("7.7.7", queryText(block, "\\StringFileInfo\\041904e3\\FileVersion"));
}

// ---- companion files: the competing description and version sources ---------------

// Text after "=" of the first ".PluginContents" line among the first five lines
// of the folder's help file; "(none)" when there is none.
std::string helpContents(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.hlf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return "(none)";
    FindClose(search);
    std::vector<std::string> lines = readLines(folder + found.cFileName);
    for (size_t i = 0; i < lines.size() && i < 5; ++i) {
        std::string line = lines[i];
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (_strnicmp(line.c_str(), ".plugincontents=", 16) == 0) return line.substr(16);
    }
    return "(none)";
}

std::string dizFirstLine(const std::string& folder) {
    if (!fileExists(folder + "file_id.diz")) return "(none)";
    std::vector<std::string> lines = readLines(folder + "file_id.diz");
    if (lines.empty()) return "";
    std::string line = lines[0];
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

struct CompanionCase {
    const char* fixture;
    const char* helpContents;   // "(none)": no ".PluginContents" line in the first five
    const char* dizFirstLine;   // "(none)": no file_id.diz
};

const CompanionCase kCompanions[] = {
    {"recorder", "Recorder help contents", "Recorder diz text"},
    {"noinfo", "No-info plugin", "No-info plugin for FAR, version 3.2"},
    {"zerocounts", "Zero counts help", "Zero counts diz text"},
    {"faultinfo", "(none)", "Faulty plugin for FAR v 0.9"},
    {"nullmenu", "(none)", "Null menu list diz text"},
    {"nullstr", "Null string help", "Null string diz text"},
    {"nover", "(none)", "Simple tool"},
    {"dizver", "(none)", "Diz plugin ver. 1.02b, freeware"},
    {"binplug", "Plugin in a bin folder", "Bin folder diz text"},
    {"ver1001", "(none)", "(none)"},
};

class FixtureCompanions : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(FixtureCompanions, HelpAndDescriptionFilesHoldTheListedTexts) {
    const CompanionCase& c = GetParam();
    std::string folder = fixtureDir(c.fixture);
    EXPECT_EQ(c.helpContents, helpContents(folder)) << c.fixture;
    EXPECT_EQ(c.dizFirstLine, dizFirstLine(folder)) << c.fixture;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureCompanions, ::testing::ValuesIn(kCompanions));

TEST(FixtureCompanionFiles, BinFixturesKeepTheirDllInBinAndTheirFilesInTheParent) {
    for (const char* name : {"dizver", "binplug"}) {
        std::string folder = fixtureDir(name);
        EXPECT_TRUE(fileExists(folder + "bin\\" + name + ".dll")) << name;
        EXPECT_FALSE(fileExists(folder + name + ".dll")) << name;
        EXPECT_FALSE(fileExists(folder + "bin\\file_id.diz")) << name;
    }
}

// ---- the recorder under a host ----------------------------------------------------------

class RecorderUnderHost : public ::testing::Test {
protected:
    TempDir dir{"fxrec"};
    std::string dll;

    void SetUp() override {
        ASSERT_TRUE(copyTree(fixtureDir("recorder"), dir / "Far\\Plugins\\Recorder\\"));
        dll = dir / "Far\\Plugins\\Recorder\\recorder.dll";
        ASSERT_FALSE(fileExists(dll + ".log")) << "a stale log travelled with the fixture";
    }

    // Loads the recorder in a host of this language, asks it for its menus and
    // runs its configuration; returns the three menu strings.
    std::vector<std::string> runIn(const char* language) {
        farhost::HostOptions options;
        options.hostDir = dir / "Far\\";
        options.language = language;
        std::vector<std::string> menus;
        farhost::Host host(options);
        farhost::Plugin* plugin = host.load(dll);
        EXPECT_NE(nullptr, plugin) << host.lastError();
        if (!plugin) return menus;
        PluginInfo info = plugin->getPluginInfo();
        EXPECT_EQ(44, info.StructSize);
        EXPECT_EQ(1, info.DiskMenuStringsNumber);
        EXPECT_EQ(1, info.PluginMenuStringsNumber);
        EXPECT_EQ(1, info.PluginConfigStringsNumber);
        if (info.DiskMenuStringsNumber == 1 && info.PluginMenuStringsNumber == 1 &&
            info.PluginConfigStringsNumber == 1) {
            menus = {info.DiskMenuStrings[0], info.PluginMenuStrings[0], info.PluginConfigStrings[0]};
        }
        plugin->configure(0);
        host.unload(plugin);
        return menus;
    }

    std::vector<std::string> log() {
        std::vector<std::string> lines = readLines(dll + ".log");
        for (std::string& line : lines)
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        return lines;
    }
};

TEST_F(RecorderUnderHost, MenusAndLogComeFromItsEnglishLanguageFileThroughTheHostsGetMsg) {
    std::vector<std::string> menus = runIn("English");
    EXPECT_EQ((std::vector<std::string>{"Call recorder", "Call recorder panel", "Call recorder settings"}), menus);
    EXPECT_EQ((std::vector<std::string>{
                  "attach",
                  "SetStartupInfo module=" + dll + " msg0=Call recorder msg1=Call recorder panel",
                  "GetPluginInfo",   // the host's own, after SetStartupInfo
                  "GetPluginInfo",
                  "Configure 0 startup=yes msg0=Call recorder",
                  "GetPluginInfo",   // the host writes the plugin's cache slot afresh
                  "detach",
              }),
              log());
}

TEST_F(RecorderUnderHost, RussianHostGetsTheCodePage866TextsOfItsRussianFile) {
    std::vector<std::string> menus = runIn("Russian");
    const std::string disk = "\x90\xa5\xa3\xa8\xe1\xe2\xe0\xa0\xe2\xae\xe0 \xa2\xeb\xa7\xae\xa2\xae\xa2";
    const std::string panel = "\x8f\xa0\xad\xa5\xab\xec \xe0\xa5\xa3\xa8\xe1\xe2\xe0\xa0\xe2\xae\xe0\xa0";
    ASSERT_EQ(3u, menus.size());
    EXPECT_EQ(disk, menus[0]);
    std::vector<std::string> lines = log();
    ASSERT_EQ(7u, lines.size());
    EXPECT_EQ("SetStartupInfo module=" + dll + " msg0=" + disk + " msg1=" + panel, lines[1]);
}

TEST_F(RecorderUnderHost, EachLoadAddsOneAttachAndOneDetachLine) {
    for (int i = 0; i < 3; ++i) {
        HMODULE module = LoadLibraryA(dll.c_str());
        ASSERT_NE(nullptr, module);
        FreeLibrary(module);
    }
    EXPECT_EQ((std::vector<std::string>{"attach", "detach", "attach", "detach", "attach", "detach"}), log());
}

TEST_F(RecorderUnderHost, WithoutSetStartupInfoItsMenusSayItHasNoGetMsg) {
    HMODULE module = LoadLibraryA(dll.c_str());
    ASSERT_NE(nullptr, module);
    auto getInfo = reinterpret_cast<PFN_GetPluginInfo>(GetProcAddress(module, "GetPluginInfo"));
    ASSERT_NE(nullptr, getInfo);
    PluginInfo info;
    memset(&info, 0, sizeof info);
    getInfo(&info);
    ASSERT_EQ(1, info.DiskMenuStringsNumber);
    EXPECT_STREQ("(no GetMsg)", info.DiskMenuStrings[0]);
    FreeLibrary(module);
    EXPECT_EQ((std::vector<std::string>{"attach", "GetPluginInfo", "detach"}), log());
}

}  // namespace
