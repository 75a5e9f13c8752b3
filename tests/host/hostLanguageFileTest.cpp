// The emulator's own rules: if these drift from the host's, every
// end-to-end test of the plugin tests against the wrong host.
// The host's reading of plugins' language files: which file, which lines.
#include "modules/langFile.h"
#include "testSupport.h"

#include <gtest/gtest.h>

using namespace farhost;
using testing_support::TempDir;
using testing_support::writeFile;

// ---- Language files --------------------------------------------------------------

TEST(LanguageFile, HeaderNamesTheLanguage) {
    struct Case {
        const char* line;
        bool ok;
        const char* name;
        const char* description;
    } cases[] = {
        {".Language=English,English", true, "English", "English"},
        {".Language=Russian,Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)", true, "Russian", "Russian (\xD0\xF3\xF1\xF1\xEA\xE8\xE9)"},
        {"  .language= German , Deutsch ", true, "German", "Deutsch"},
        {".Language=Polish", true, "Polish", ""},
        {"Language=English,English", false, "", ""},
        {"\"English\"", false, "", ""},
        {".Language=,Nothing", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string name, description;
        EXPECT_EQ(c.ok, parseLanguageHeader(c.line, name, description)) << c.line;
        if (!c.ok) continue;
        EXPECT_EQ(c.name, name) << c.line;
        EXPECT_EQ(c.description, description) << c.line;
    }
}

TEST(LanguageFile, MessageLineUnescapesOnlyQuoteAndBackslash) {
    struct Case {
        const char* line;
        bool ok;
        const char* text;
    } cases[] = {
        {"\"Hello\"", true, "Hello"},
        {"  \t\"Indented\"  // trailing words", true, "Indented"},
        {"\"Say \\\"yes\\\"\"", true, "Say \"yes\""},
        {"\"C:\\\\Far\\\\Plugins\"", true, "C:\\Far\\Plugins"},
        {"\"Keep \\n as it is\"", true, "Keep \\n as it is"},
        {"\"\"", true, ""},
        {"\"No closing quote", true, "No closing quote"},
        {"\"Line with CR\"\r", true, "Line with CR"},
        {"// \"a comment\"", false, ""},
        {"MTitle", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(c.ok, parseMessageLine(c.line, text)) << c.line;
        if (c.ok) {
            EXPECT_EQ(c.text, text) << c.line;
        }
    }
}

TEST(LanguageFile, IdsCountOnlyMessageLines) {
    std::string content =
        ".Language=English,English\r\n"
        "// Menu\r\n"
        "\r\n"
        "\"Zero\"\r\n"
        "MOne\r\n"
        "  \"One\"\r\n"
        "\"Two \\\"2\\\"\"";   // no final newline
    std::vector<std::string> messages = parseLanguageMessages(content);
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ("Zero", messages[0]);
    EXPECT_EQ("One", messages[1]);
    EXPECT_EQ("Two \"2\"", messages[2]);
}

TEST(LanguageFile, ChoosesTheHostLanguageElseEnglish) {
    TempDir dir("lng");
    ASSERT_TRUE(writeFile(dir / "aaa.lng", "no header here\n\"x\"\n"));
    ASSERT_TRUE(writeFile(dir / "plugEng.lng", ".Language=English,English\n\"E0\"\n"));
    ASSERT_TRUE(writeFile(dir / "plugRus.lng", "\xEF\xBB\xBF.Language=Russian,Russian\r\n\"R0\"\r\n"));
    EXPECT_EQ(dir / "plugRus.lng", chooseLanguageFile(dir.path(), "Russian"));
    EXPECT_EQ(dir / "plugRus.lng", chooseLanguageFile(dir.path(), "russian"));
    EXPECT_EQ(dir / "plugEng.lng", chooseLanguageFile(dir.path(), "German"));
    EXPECT_EQ(std::vector<std::string>{"R0"}, loadLanguageMessages(dir.path(), "Russian"));

    TempDir onlyRussian("lng");
    ASSERT_TRUE(writeFile(onlyRussian / "r.lng", ".Language=Russian,Russian\n\"R0\"\n"));
    EXPECT_EQ("", chooseLanguageFile(onlyRussian.path(), "German"));
    EXPECT_TRUE(loadLanguageMessages(onlyRussian.path(), "German").empty());
}
