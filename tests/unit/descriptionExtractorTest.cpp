#include "describe/descriptionExtractor.h"

#include "testSupport.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

using testing_support::TempDir;
using testing_support::writeFile;

namespace {

const char CONTENTS_LINE[] = ".PluginContents= Hex viewer\n";

struct Described {
    bool result;
    std::string text;
};

Described describe(const std::string& folder, const PluginInfo* info) {
    char description[128] = "";
    bool result = extractDescription(description, folder.c_str(), info);
    EXPECT_EQ(description[127], 0);
    return {result, description};
}

PluginInfo answered() {
    PluginInfo info;
    memset(&info, 0, sizeof info);
    info.StructSize = sizeof info;
    return info;
}

TEST(ExtractDescription, TakesTheFirstStringOfTheFirstFilledMenuList) {
    TempDir dir("desc");
    writeFile(dir / "file_id.diz", "Diz plugin\n");
    const char* disk[] = {"Hex &view", "Second"};
    const char* plugins[] = {"Hex viewer"};
    const char* config[] = {"Hex config"};

    PluginInfo info = answered();
    info.DiskMenuStrings = disk;
    info.DiskMenuStringsNumber = 2;
    info.PluginMenuStrings = plugins;
    info.PluginMenuStringsNumber = 1;
    info.PluginConfigStrings = config;
    info.PluginConfigStringsNumber = 1;
    Described d = describe(dir.path(), &info);
    EXPECT_TRUE(d.result);
    EXPECT_EQ(d.text, "Hex &view");

    info.DiskMenuStringsNumber = 0;
    EXPECT_EQ(describe(dir.path(), &info).text, "Hex viewer");
    info.PluginMenuStringsNumber = 0;
    EXPECT_EQ(describe(dir.path(), &info).text, "Hex config");
}

TEST(ExtractDescription, MenuStringIsTakenUnchangedUpTo127Characters) {
    TempDir dir("desc");
    std::string longest = "  Blanks\tand &hotkey " + std::string(200, 'y');
    const char* list[] = {longest.c_str()};
    PluginInfo info = answered();
    info.PluginMenuStrings = list;
    info.PluginMenuStringsNumber = 1;
    EXPECT_EQ(describe(dir.path(), &info).text, longest.substr(0, 127));
}

TEST(ExtractDescription, PluginThatAnsweredWithoutMenuStringsSkipsTheHelpFile) {
    TempDir dir("desc");
    writeFile(dir / "hex.hlf", CONTENTS_LINE);
    writeFile(dir / "file_id.diz", "Hex viewer plugin for FAR 1.70\n");
    PluginInfo info = answered();
    Described d = describe(dir.path(), &info);
    EXPECT_TRUE(d.result);
    EXPECT_EQ(d.text, "Hex viewer");
}

TEST(ExtractDescription, PluginThatDidNotAnswerIsDescribedByItsHelpFile) {
    TempDir dir("desc");
    writeFile(dir / "hex.hlf", CONTENTS_LINE);
    writeFile(dir / "file_id.diz", "Diz text\n");
    const char* disk[] = {"Ignored"};
    PluginInfo info = answered();
    info.StructSize = 0;
    info.DiskMenuStrings = disk;
    info.DiskMenuStringsNumber = 1;
    EXPECT_EQ(describe(dir.path(), &info).text, " Hex viewer");
    EXPECT_EQ(describe(dir.path(), nullptr).text, " Hex viewer");
}

// A count without a list, or a list whose string is missing, is a broken
// answer: it must not be followed, and the plugin's files speak instead.
TEST(ExtractDescription, BrokenMenuAnswerFallsBackToTheFiles) {
    TempDir dir("desc");
    writeFile(dir / "hex.hlf", CONTENTS_LINE);
    PluginInfo info = answered();
    info.DiskMenuStringsNumber = 1;
    EXPECT_EQ(describe(dir.path(), &info).text, " Hex viewer");

    const char* missing[] = {nullptr};
    info.DiskMenuStrings = missing;
    EXPECT_EQ(describe(dir.path(), &info).text, " Hex viewer");

    TempDir bare("desc");
    writeFile(bare / "file_id.diz", "Diz text\n");
    EXPECT_EQ(describe(bare.path(), &info).text, "Diz text");
}

TEST(ExtractDescription, HelpFileCountsOnlyAmongItsFirstFiveLines) {
    TempDir fifth("desc");
    writeFile(fifth / "hex.hlf", std::string("a\nb\nc\nd\n") + CONTENTS_LINE);
    EXPECT_EQ(describe(fifth.path(), nullptr).text, " Hex viewer");

    TempDir sixth("desc");
    writeFile(sixth / "hex.hlf", std::string("a\nb\nc\nd\ne\n") + CONTENTS_LINE);
    Described d = describe(sixth.path(), nullptr);
    EXPECT_FALSE(d.result);
    EXPECT_EQ(d.text, "");

    writeFile(sixth / "file_id.diz", "Hex tool\n");
    EXPECT_EQ(describe(sixth.path(), nullptr).text, "Hex tool");
}

TEST(ExtractDescription, HelpFileReadInTextModeDropsCarriageReturns) {
    TempDir dir("desc");
    writeFile(dir / "hex.hlf", "a\r\n.plugincontents=Hex viewer\r\nmore\r\n");
    EXPECT_EQ(describe(dir.path(), nullptr).text, "Hex viewer");
}

TEST(ExtractDescription, ContentsLineWithoutTextFallsBackToTheDescriptionFile) {
    TempDir dir("desc");
    writeFile(dir / "hex.hlf", ".plugincontents\n.plugincontents=Later\n");
    writeFile(dir / "file_id.diz", "Hex tool\n");
    EXPECT_EQ(describe(dir.path(), nullptr).text, "Hex tool");
}

TEST(ExtractDescription, DescriptionFileFirstLineIsCleaned) {
    TempDir dir("desc");
    writeFile(dir / "file_id.diz", "MultiArc plugin for FAR Archiver, version 1.70\r\nSecond line\r\n");
    Described d = describe(dir.path(), nullptr);
    EXPECT_TRUE(d.result);
    EXPECT_EQ(d.text, "MultiArc Archiver");
}

TEST(ExtractDescription, NoSourceGivesAnEmptyDescriptionAndFalse) {
    TempDir dir("desc");
    Described d = describe(dir.path(), nullptr);
    EXPECT_FALSE(d.result);
    EXPECT_EQ(d.text, "");

    writeFile(dir / "file_id.diz", "");
    EXPECT_FALSE(describe(dir.path(), nullptr).result);
    writeFile(dir / "file_id.diz", "\nSecond line\n");
    EXPECT_FALSE(describe(dir.path(), nullptr).result);
    writeFile(dir / "file_id.diz", " ., ;: \n");
    EXPECT_FALSE(describe(dir.path(), nullptr).result);
}

TEST(ExtractDescription, BinaryGarbageInTheFilesStaysWithinTheField) {
    TempDir dir("desc");
    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 37 + 11) % 256 ? (i * 37 + 11) % 256 : 1);
    std::string noLineEnds;
    for (char c : garbage) noLineEnds += (c == '\n' || c == '\r' || c == 0x1A) ? 'q' : c;
    writeFile(dir / "junk.hlf", noLineEnds + CONTENTS_LINE);
    writeFile(dir / "file_id.diz", noLineEnds);
    Described d = describe(dir.path(), nullptr);
    EXPECT_TRUE(d.result);
    EXPECT_LE(d.text.size(), 127u);
    EXPECT_EQ(d.text.find(".PluginContents"), std::string::npos);
}

TEST(ExtractDescription, DescriptionFileControlBytesEndTheLine) {
    TempDir dir("desc");
    writeFile(dir / "file_id.diz", std::string("Good\0plugin text\n", 17));
    EXPECT_EQ(describe(dir.path(), nullptr).text, "Good");
    writeFile(dir / "file_id.diz", "Alpha\rBeta\n");
    EXPECT_EQ(describe(dir.path(), nullptr).text, "Alpha");
    writeFile(dir / "file_id.diz", "Name\x1A tail\n");  // end of file in text mode
    EXPECT_EQ(describe(dir.path(), nullptr).text, "Name");
}

TEST(ExtractDescription, FolderTooLongForAFilePathFindsNothing) {
    std::string folder = "C:\\" + std::string(300, 'f') + "\\";
    Described d = describe(folder, nullptr);
    EXPECT_FALSE(d.result);
    EXPECT_EQ(d.text, "");
}

} // namespace
