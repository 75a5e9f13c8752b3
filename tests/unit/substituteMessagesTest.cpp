#include "foreign/substituteMessages.h"

#include "foreign/langFileText.h"
#include "state/pluginState.h"
#include "testSupport.h"

#include "../fuzz/memoryFile.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

using testing_support::TempDir;
using testing_support::writeFile;

namespace {

// ---- Pure rules of a language file ----

TEST(LanguageNameOf, NameRunsFromAfterTheEqualsSignToTheComma) {
    struct Case {
        const char* line;
        const char* name;  // nullptr: the line names no language
    } cases[] = {
        {".Language=English,English\n", "English"},
        {".language=Russian,Russian (Русский)\n", "Russian"},
        {".Language =  English,English\n", "English"},
        {".Language=English ,English\n", "English "},
        {".Language=\tEnglish,English\n", "\tEnglish"},
        {".Language=English\n", nullptr},
        {".Language=English", nullptr},
        {".Language English,English\n", nullptr},
        {" .Language=English,English\n", nullptr},
        {"\"text\"\n", nullptr},
    };
    for (const Case& c : cases) {
        size_t length = 0;
        const char* name = languageNameOf(c.line, &length);
        if (!c.name) {
            EXPECT_EQ(name, nullptr) << c.line;
            continue;
        }
        ASSERT_NE(name, nullptr) << c.line;
        EXPECT_EQ(std::string(name, length), c.name) << c.line;
    }
}

TEST(SameLanguage, ComparesTheWholeNameWithoutRegardToCase) {
    EXPECT_TRUE(sameLanguage("ENGLISH,x", 7, "english"));
    EXPECT_FALSE(sameLanguage("English,x", 7, "Englis"));
    EXPECT_FALSE(sameLanguage("Englis,x", 6, "English"));
    EXPECT_FALSE(sameLanguage("English ,x", 8, "English"));
}

TEST(MessageTextOf, QuotesAndBackslashes) {
    struct Case {
        const char* line;
        const char* text;  // nullptr: not a message line
    } cases[] = {
        {"\"Hex viewer\"\n", "Hex viewer"},
        {"\"Hex viewer\"\r\n", "Hex viewer"},
        {"\"Hex viewer\"  ; comment\n", "Hex viewer"},
        {"\"No closing quote\n", "No closing quote"},
        {"\"\"\n", ""},
        {"\"\n", ""},
        {"\"Say \\\"hi\\\"\"\n", "Say \"hi\""},
        {"\"C:\\\\Far\"\n", "C:\\Far"},
        {"\"\\\\\\\\\"\n", "\\"},
        {"\"a\\b\"\n", "a\\b"},
        {"\"inner \" quote\"\n", "inner \" quote"},
        {" \"Blank first\"\n", nullptr},
        {".Language=English,English\n", nullptr},
        {"\n", nullptr},
    };
    for (const Case& c : cases) {
        char line[260];
        strcpy(line, c.line);
        const char* text = messageTextOf(line);
        if (!c.text) {
            EXPECT_EQ(text, nullptr) << c.line;
            continue;
        }
        ASSERT_NE(text, nullptr) << c.line;
        EXPECT_STREQ(text, c.text) << c.line;
    }
}

bool collect(const char* text, void* list) {
    static_cast<std::vector<std::string>*>(list)->push_back(text);
    return true;
}

std::vector<std::string> messagesOf(const std::string& file) {
    MemoryFile memory{file.data(), file.size(), 0, 0};
    std::vector<std::string> texts;
    EXPECT_TRUE(readMessageLines(readMemoryPiece, &memory, collect, &texts));
    return texts;
}

// A physical line takes at most one id, however many reads of 259 bytes it
// needs, and whatever NUL bytes it holds: the length of a read is what the
// read delivered, not where its first NUL stands.
TEST(ReadMessageLines, ALineTakesOneIdWhateverItsLengthAndBytes) {
    using Texts = std::vector<std::string>;
    const std::string nul(1, '\0');
    const std::string tail = "\"Tail\"\n\"Next\"\n";
    struct Case {
        std::string file;
        Texts texts;
    } cases[] = {
        {".Language=English,English\n\"A\"\n\n;c\n\"B\"", {"A", "B"}},
        {"\"" + std::string(258, 'a') + tail, {std::string(258, 'a'), "Next"}},
        {"\"ab" + nul + std::string(255, 'x') + tail, {"ab", "Next"}},
        {";c" + nul + std::string(256, 'x') + tail, {"Next"}},
        {"\"" + std::string(257, 'a') + nul + tail, {std::string(257, 'a'), "Next"}},
        {"\"" + std::string(257, 'a') + "\n" + tail, {std::string(257, 'a'), "Tail", "Next"}},
        {";" + std::string(258, 'x') + "\n" + tail, {"Tail", "Next"}},
        {"\"" + nul + "\n" + tail, {"", "Tail", "Next"}},
    };
    for (const Case& c : cases) EXPECT_EQ(messagesOf(c.file), c.texts) << c.file.substr(0, 40);
}

// ---- The provider ----

std::string hostLanguage;

const char* WINAPI fakeHostGetMsg(int, int id) {
    return id == 0 ? hostLanguage.c_str() : "unexpected";
}

const char* WINAPI nullHostGetMsg(int, int) {
    return nullptr;
}

class SubstituteMessages : public ::testing::Test {
protected:
    void SetUp() override {
        savedGetMsg = startupInfo.GetMsg;
        startupInfo.GetMsg = fakeHostGetMsg;
        hostLanguage = "Russian";
    }
    void TearDown() override {
        substituteGetMsg(SUBSTITUTE_RELEASE, 0);
        substituteGetMsg(SUBSTITUTE_SET_MODULE, 0);
        startupInfo.GetMsg = savedGetMsg;
    }
    void useModule(const std::string& path) {
        modulePath = path;
        substituteGetMsg(SUBSTITUTE_SET_MODULE, static_cast<int>(reinterpret_cast<intptr_t>(modulePath.c_str())));
    }
    std::string msg(int id) {
        const char* text = substituteGetMsg(7, id);
        return text ? text : "<null>";
    }

    TempDir dir{"lng"};
    std::string modulePath;
    FARAPIGETMSG savedGetMsg = nullptr;
};

TEST_F(SubstituteMessages, WorkedExample) {
    struct Case {
        bool withRussian;
        std::vector<std::pair<int, const char*>> answers;
    } cases[] = {
        {true, {{0, "Hex viewer"}, {1, "Hex setup"}, {2, ""}, {-1, ""}}},
        {false, {{0, "Eng viewer"}, {1, ""}, {-1, ""}}},
    };
    for (const Case& c : cases) {
        TempDir folder("lng");
        writeFile(folder / "eng.lng", ".Language=English,English\n\"Eng viewer\"\n");
        if (c.withRussian)
            writeFile(folder / "rus.lng", ".Language=Russian,Russian\n\"Hex viewer\"\n\n\"Hex setup\"\n");
        useModule(folder / "hex.dll");
        for (const auto& answer : c.answers)
            EXPECT_EQ(msg(answer.first), answer.second) << "russian " << c.withRussian << " id " << answer.first;
        substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    }
}

TEST_F(SubstituteMessages, ControlCodesAnswerNothingAndKeepThePath) {
    writeFile(dir / "eng.lng", ".Language=English,English\n\"Eng\"\n");
    std::string path = dir / "hex.dll";
    EXPECT_EQ(substituteGetMsg(SUBSTITUTE_SET_MODULE, static_cast<int>(reinterpret_cast<intptr_t>(path.c_str()))),
              nullptr);
    EXPECT_STREQ(substituteModulePath, path.c_str());
    EXPECT_EQ(substituteMessages, nullptr);  // loaded only at the first lookup
    EXPECT_EQ(msg(0), "Eng");
    EXPECT_NE(substituteMessages, nullptr);
    EXPECT_EQ(substituteGetMsg(SUBSTITUTE_RELEASE, 0), nullptr);
    EXPECT_EQ(substituteMessages, nullptr);
    EXPECT_STREQ(substituteModulePath, path.c_str());
}

TEST_F(SubstituteMessages, NoLanguageFileAnswersAnEmptyText) {
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "");
    writeFile(dir / "deu.lng", ".Language=German,Deutsch\n\"Text\"\n");
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, FileWithoutMessageLinesAnswersAnEmptyText) {
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n; only a comment\n\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, LanguageLineWithoutCommaIsNeitherChosenNorFallback) {
    writeFile(dir / "eng.lng", ".Language=English\n\"Eng\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "");

    hostLanguage = "English";
    writeFile(dir / "eng.lng", ".Language=English");
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, BlanksAroundTheNameDecide) {
    writeFile(dir / "eng.lng", ".Language =  English,English\n\"Spaced\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Spaced");

    writeFile(dir / "eng.lng", ".Language=English ,English\n\"Trailing\"\n");
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, HostLanguageComparedWithoutRegardToCase) {
    hostLanguage = "RUSSIAN";
    writeFile(dir / "eng.lng", ".Language=English,English\n\"Eng\"\n");
    writeFile(dir / "rus.lng", ".Language=russian,Russian\n\"Rus\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Rus");
}

TEST_F(SubstituteMessages, HostWithoutLanguageNameFallsBackToEnglish) {
    startupInfo.GetMsg = nullHostGetMsg;
    writeFile(dir / "eng.lng", ".Language=English,English\n\"Eng\"\n");
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"Rus\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Eng");
}

TEST_F(SubstituteMessages, LastEnglishFileInDirectoryOrderIsTheFallback) {
    writeFile(dir / "a.lng", ".Language=English,English\n\"From a\"\n");
    writeFile(dir / "b.lng", ".Language=English,English\n\"From b\"\n");
    std::string last;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((dir / "*.lng").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do last = data.cFileName;
    while (FindNextFileA(search, &data));
    FindClose(search);

    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), last == "a.lng" ? "From a" : "From b");
}

TEST_F(SubstituteMessages, OnlyLinesBeginningWithAQuoteTakeIds) {
    writeFile(dir / "rus.lng",
              ".Language=Russian,Russian\n"
              "\"First\"\n"
              " \"Blank before\"\n"
              "// \"comment\"\n"
              "\"Open to the end\n"
              "\"Say \\\"hi\\\"\"\n"
              "\"Last\"\n");
    useModule(dir / "hex.dll");
    const char* expected[] = {"First", "Open to the end", "Say \"hi\"", "Last"};
    for (int id = 0; id < 4; ++id) EXPECT_EQ(msg(id), expected[id]) << id;
    EXPECT_EQ(msg(4), "");
    ASSERT_NE(substituteMessages, nullptr);
    EXPECT_EQ(substituteMessages->count, 4u);
}

TEST_F(SubstituteMessages, LastLineWithOrWithoutLineEndCountsOnce) {
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\r\n\"One\"\r\n\"Two\"\r\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(1), "Two");
    EXPECT_EQ(msg(2), "");

    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"One\"\n\"Two\"");
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(1), "Two");
    EXPECT_EQ(msg(2), "");
}

TEST_F(SubstituteMessages, ReleaseMakesTheNextLookupReadTheFilesAgain) {
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"Before\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Before");
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"After\"\n");
    EXPECT_EQ(msg(0), "Before");  // the table stays until released
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(0), "After");
}

TEST_F(SubstituteMessages, TableWithoutTextsIsNotReadAgainUntilReleased) {
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "");
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"Late\"\n");
    EXPECT_EQ(msg(0), "");
    substituteGetMsg(SUBSTITUTE_RELEASE, 0);
    EXPECT_EQ(msg(0), "Late");
}

TEST_F(SubstituteMessages, NewModuleReadsItsOwnFolder) {
    TempDir other("lng");
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"First plugin\"\n");
    writeFile(other / "rus.lng", ".Language=Russian,Russian\n\"Second plugin\"\n");
    useModule(dir / "one.dll");
    EXPECT_EQ(msg(0), "First plugin");
    useModule(other / "two.dll");
    EXPECT_EQ(msg(0), "Second plugin");
}

TEST_F(SubstituteMessages, ModulePathWithoutFolderAnswersBug) {
    useModule("hex.dll");
    EXPECT_EQ(msg(0), "");
    substituteGetMsg(SUBSTITUTE_SET_MODULE, 0);
    EXPECT_STREQ(substituteModulePath, "");
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, OverlongModulePathIsCut) {
    std::string path = "C:\\" + std::string(400, 'p') + "\\hex.dll";
    useModule(path);
    EXPECT_EQ(strlen(substituteModulePath), 259u);
    EXPECT_EQ(msg(0), "");
}

TEST_F(SubstituteMessages, OverlongFirstLineStillNamesTheLanguage) {
    std::string first = ".Language=Russian,Russian " + std::string(1528, 'r') + "\"Not a message\"\n";
    writeFile(dir / "rus.lng", first + "\"Real\"\n");
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Real");
    EXPECT_EQ(msg(1), "");
}

// The rest of an overlong message line arrives in further reads; beginning
// with a quote must not make it a message of its own and shift later ids, not
// even when a NUL byte in the line makes the read look short.
TEST_F(SubstituteMessages, OverlongMessageLineKeepsOneIdAndIsCut) {
    // Each line fills the first read (259 bytes with its opening quote), and
    // its rest begins with a quote.
    struct Case {
        std::string line;
        std::string message;
    } cases[] = {
        {std::string(258, 'a') + "\"" + std::string(258, 'b') + "\"tail", std::string(258, 'a')},
        {std::string("a\0", 2) + std::string(256, 'b') + "\"tail", "a"},
    };
    for (const Case& c : cases) {
        writeFile(dir / "rus.lng", ".Language=Russian,Russian\r\n\"" + c.line + "\"\r\n\"Next\"\r\n");
        useModule(dir / "hex.dll");
        EXPECT_EQ(msg(0), c.message);
        EXPECT_EQ(msg(1), "Next");
        EXPECT_EQ(msg(2), "");
    }
}

TEST_F(SubstituteMessages, GarbageLanguageFileStaysWithinItsBuffers) {
    std::string garbage = ".Language=Russian,Russian\n";
    for (int i = 0; i < 5000; ++i) {
        char c = static_cast<char>((i * 131 + 7) % 256);
        garbage += (c == 0x1A) ? '"' : c;
        if (i % 700 == 0) garbage += "\n\"";
    }
    garbage += std::string("\n\"\\\\\\\\\\\"\r\r\"\n", 12);
    writeFile(dir / "rus.lng", garbage);
    useModule(dir / "hex.dll");
    ASSERT_NE(msg(0), "");
    ASSERT_NE(substituteMessages, nullptr);
    for (unsigned i = 0; i < substituteMessages->count; ++i) {
        ASSERT_NE(substituteMessages->texts[i], nullptr);
        EXPECT_LT(strlen(substituteMessages->texts[i]), 259u);
    }
}

} // namespace

// A scan hands over the language files its listing of the folder found: the
// table is chosen among those, by the same rules, and nothing else of the
// folder is looked at.
TEST_F(SubstituteMessages, AScanChoosesAmongTheLanguageFilesItsListingFound) {
    writeFile(dir / "eng.lng", ".Language=English,English\n\"Eng\"\n");
    writeFile(dir / "rus.lng", ".Language=Russian,Russian\n\"Rus\"\n");
    writeFile(dir / "deu.lng", ".Language=German,Deutsch\n\"Deu\"\n");
    struct Case {
        std::string listed;     // names each ended by a zero
        const char* answer;
    } cases[] = {
        {std::string("eng.lng\0rus.lng\0", 16), "Rus"},
        {std::string("rus.lng\0eng.lng\0", 16), "Rus"},
        {std::string("deu.lng\0eng.lng\0", 16), "Eng"},
        {std::string("gone.lng\0eng.lng\0", 17), "Eng"},
        {std::string("deu.lng\0", 8), ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string list = c.listed + '\0';
        substituteLanguageFiles = list.c_str();
        useModule(dir / "hex.dll");
        EXPECT_EQ(msg(0), c.answer) << c.listed.size();
        substituteGetMsg(SUBSTITUTE_RELEASE, 0);
        substituteLanguageFiles = nullptr;
    }
    useModule(dir / "hex.dll");
    EXPECT_EQ(msg(0), "Rus") << "without a list the folder is searched";
}
