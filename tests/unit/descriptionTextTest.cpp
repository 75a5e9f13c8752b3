#include "describe/descriptionText.h"

#include "../fuzz/memoryFile.h"

#include <gtest/gtest.h>

#include <string.h>
#include <string>

namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

std::string collapsed(const char* input) {
    char buffer[128];
    strcpy(buffer, input);
    collapseBlanks(buffer);
    return buffer;
}

std::string cleaned(const std::string& line) {
    char out[128];
    memset(out, 'Z', sizeof out);
    cleanDizLine(line.c_str(), out, sizeof out);
    return out;
}

TEST(CollapseBlanks, ShortensInnerRunsToTheirFirstCharacterAndKeepsTheTrailingRun) {
    const TextCase cases[] = {
        {"a  b", "a b"},
        {"a \t\t b", "a b"},
        {"a\t  b", "a\tb"},
        {"  a", " a"},
        {"a b  c   d", "a b c d"},
        {"a  ", "a  "},
        {"a \t", "a \t"},
        {"a  b   ", "a b   "},
        {"", ""},
        {"   ", "   "},
    };
    for (const TextCase& c : cases) EXPECT_EQ(collapsed(c.input), c.expected) << "'" << c.input << "'";
}

TEST(RemoveWord, DeletesTheFirstOccurrenceAndTheFollowingRunOfTheSet) {
    const char* set = "v 0123456789.+:ab()";
    struct Case {
        const char* text;
        const char* word;
        const char* set;
        const char* expected;
    } cases[] = {
        {"Information viewer", "for", nullptr, "Inmation viewer"},
        {"for for", "for", nullptr, " for"},
        {"MultiArc plugin for", "plugin", set, "MultiArc for"},
        {"PLUGIN v1.0 x", "plugin", set, "x"},
        {"Plugin AB", "plugin", set, "AB"},          // the set compares with case
        {"Plugin ab", "plugin", set, ""},
        {"xplugin", "plugin", set, "x"},             // the run stops at the end
        {"Hex viewer", "plugin", set, "Hex viewer"}, // no occurrence: untouched
        {"Editor for X", "for", set, "Editor X"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        strcpy(buffer, c.text);
        removeWord(buffer, c.word, c.set);
        EXPECT_STREQ(buffer, c.expected) << "'" << c.text << "' - '" << c.word << "'";
    }
}

TEST(CleanDizLine, WorkedResults) {
    const TextCase cases[] = {
        {"MultiArc plugin for FAR Archiver, version 1.70", "MultiArc Archiver"},
        {"Painter plugin v 4.0 for FAR , (c) Somebody", "Painter (c) Somebody"},
        {"  Editor   case  converter   for FAR  1.70  ", "Editor case converter"},
        {"Plugin for FAR: Temporary panel. Version 2.0", "FAR: Temporary panel"},
        {"FAR Commands (version 1.5)", "Commands"},
        {"Information viewer plugin, for FAR 1.70", "Inmation viewerfor"},
        {"A , B ; C . D", "ABC . D"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(cleaned(c.input), c.expected) << "'" << c.input << "'";
}

TEST(CleanDizLine, LinesOfJPluginsKeepTheirWords) {
    EXPECT_EQ(cleaned("Jotter plugin for FAR 1.70."), "Jotter plugin for FAR 1.70");
    EXPECT_EQ(cleaned("jotter plugin for FAR 1.70."), "jotter plugin for FAR 1.70");
    EXPECT_EQ(cleaned(" Jotter plugin"), "Jotter");  // only the very first character counts
}

TEST(CleanDizLine, NothingButSeparatorsLeavesNothing) {
    EXPECT_EQ(cleaned(""), "");
    EXPECT_EQ(cleaned("\n"), "");
    EXPECT_EQ(cleaned(" .,;: ;. ,"), "");
    EXPECT_EQ(cleaned("plugin for FAR 1.70"), "");
}

TEST(CleanDizLine, PunctuationPassLooksOnlyAtPositionsWithFourCharactersBehind) {
    const TextCase cases[] = {
        {"a , b", "a , b"},  // five characters: only position 0 is examined
        {" , x", ", x"},     // four characters: not examined at all
        {"ab , c", "ab , c"}, // position 2 would need four characters behind it
        {"ab , cd", "abcd"},
        {"a  , b", "a , b"},        // blanks are collapsed before the pass
        {"a for , bc", "a bc"},     // the removed word leaves space, space, comma
        {"x , for , yy", "x , yy"}, // the characters moved into place are not examined again
    };
    for (const TextCase& c : cases) EXPECT_EQ(cleaned(c.input), c.expected) << "'" << c.input << "'";
}

TEST(CleanDizLine, EndsAtTheFirstCarriageReturnOrLineFeed) {
    EXPECT_EQ(cleaned("Hex viewer\r\n"), "Hex viewer");
    EXPECT_EQ(cleaned("Hex\rviewer"), "Hex");
    EXPECT_EQ(cleaned("Hex\nviewer"), "Hex");
}

TEST(CleanDizLine, StripsOnlyPunctuationAndSpacesFromTheEnd) {
    EXPECT_EQ(cleaned("Name\t."), "Name\t");  // a tab stops the strip
    EXPECT_EQ(cleaned("Name ;:,. "), "Name");
    EXPECT_EQ(cleaned("\tTabbed"), "\tTabbed");  // a leading tab is no space
}

TEST(CleanDizLine, KeepsAtMost127Characters) {
    std::string line(200, 'x');
    EXPECT_EQ(cleaned(line), std::string(127, 'x'));
    char small[10];
    cleanDizLine("Hex viewer deluxe", small, sizeof small);
    EXPECT_STREQ(small, "Hex viewe");
}

TEST(CleanDizLine, ReadsAtMost299CharactersOfAnOverlongLine) {
    std::string line(298, ' ');
    line += "Tail";  // beyond the line length the file reader would give
    EXPECT_EQ(cleaned(line), "T");
}

TEST(HelpContentsText, TakesTheTextAfterTheFirstEqualsSign) {
    struct Case {
        const char* line;
        bool isContents;
        const char* expected;
    } cases[] = {
        {".PluginContents= Hex viewer\n", true, " Hex viewer"},
        {".plugincontents=Hex=viewer\n", true, "Hex=viewer"},
        {".PLUGINCONTENTS=\rHex viewer\r\n", true, "Hex viewer"},
        {".plugincontents=\n", true, ""},
        {".plugincontents=", true, ""},
        {".plugincontents\n", true, ""},
        {" .plugincontents=Hex\n", false, ""},
        {".plugincontent=Hex\n", false, ""},
        {"@Contents\n", false, ""},
    };
    for (const Case& c : cases) {
        char out[128] = "";
        EXPECT_EQ(helpContentsText(c.line, out, sizeof out), c.isContents) << c.line;
        EXPECT_STREQ(out, c.expected) << c.line;
    }
}

std::string scanned(const std::string& text, bool* found = nullptr, int* reads = nullptr) {
    MemoryFile file{text.data(), text.size(), 0, 0};
    char out[128] = "";
    bool result = scanHelpContents(readMemoryPiece, &file, out, sizeof out);
    if (found) *found = result;
    if (reads) *reads = file.reads;
    return out;
}

TEST(ScanHelpContents, FindsTheContentsLineAmongTheFirstFiveReadsOnly) {
    bool found = false;
    EXPECT_EQ(scanned("a\nb\nc\nd\n.PluginContents= Hex viewer\n", &found), " Hex viewer");
    EXPECT_TRUE(found);
    EXPECT_EQ(scanned("a\nb\nc\nd\ne\n.PluginContents= Hex viewer\n", &found), "");
    EXPECT_FALSE(found);
}

TEST(ScanHelpContents, StopsAtTheFirstContentsLine) {
    int reads = 0;
    EXPECT_EQ(scanned(".plugincontents\n.plugincontents=Second\n", nullptr, &reads), "");
    EXPECT_EQ(reads, 1);
}

TEST(ScanHelpContents, PiecesOfALongLineCountAsReads) {
    std::string longLine(200, 'x');  // 127 + 73 characters: two reads
    bool found = false;
    EXPECT_EQ(scanned(longLine + "\nb\nc\n.plugincontents=Hex\n", &found), "Hex");
    EXPECT_EQ(scanned(longLine + "\nb\nc\nd\n.plugincontents=Hex\n", &found), "");
    EXPECT_FALSE(found);
}

// Every piece is a line as read: a contents line may begin inside an overlong
// physical line, where a read of 127 characters ends; a NUL byte changes nothing.
TEST(ScanHelpContents, EveryPieceOfALongLineIsALineAsRead) {
    const std::string x127(127, 'x'), x126(126, 'x');
    std::string nul = "ab" + std::string(1, '\0') + std::string(124, 'x');
    struct Case {
        std::string text;
        const char* expected;
    } cases[] = {
        {x127 + ".PluginContents=Second piece\n.plugincontents=Later\n", "Second piece"},
        {x127 + x127 + x127 + x127 + ".plugincontents=Fifth piece\n", "Fifth piece"},
        {x127 + x127 + x127 + x127 + x127 + ".plugincontents=Sixth piece\n", ""},
        {x126 + "\n.plugincontents=Next line\n", "Next line"},
        {x126 + ".plugincontents=Not at a piece start\n.plugincontents=Next\n", "Next"},
        {nul + ".plugincontents=After a NUL\n", "After a NUL"},
    };
    for (const Case& c : cases) EXPECT_EQ(scanned(c.text), c.expected) << c.text.size();
}

TEST(ScanHelpContents, EndOfFileEndsTheReading) {
    bool found = true;
    int reads = 0;
    EXPECT_EQ(scanned("a\nb\n", &found, &reads), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(scanned("", &found), "");
    EXPECT_FALSE(found);
}

} // namespace
