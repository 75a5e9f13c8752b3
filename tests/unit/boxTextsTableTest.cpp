// Every text of Vantorel's boxes, menus and panel stands in one table
// (tests/data/boxTexts.tsv, written by scripts/box-texts.py), with the keys
// that show it, in both languages, so that a reviewer reads them all in one
// place. The language files the plugin ships must say exactly what the
// table says: a text changed in one and not the other fails here.
#include "testSupport.h"
#include "ui/messages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::string sourceFile(const std::string& below) { return std::string(VANTOREL_SOURCE_DIR_W) + "\\" + below; }

// A text of the given code page in UTF-8, as the table holds it.
std::string utf8(const std::string& text, UINT codePage) {
    if (text.empty()) return text;
    std::wstring wide(text.size() * 2 + 2, L'\0');
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                static_cast<int>(wide.size()));
    std::string out(static_cast<size_t>(n) * 4 + 4, '\0');
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(m));
    return out;
}

std::vector<std::string> messagesOf(const std::string& path, UINT codePage) {
    std::vector<std::string> out;
    for (std::string line : readLines(path)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.size() < 2 || line[0] != '"') continue;
        out.push_back(utf8(line.substr(1, line.size() - 2), codePage));
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == '\t') out.emplace_back();
        else if (c != '\r' && c != '\n') out.back() += c;
    }
    return out;
}

}  // namespace

TEST(BoxTexts, TheLanguageFilesSayWhatTheTableSays) {
    const std::vector<std::string> eng = messagesOf(sourceFile("src\\lng\\VantorelEng.lng"), 1252);
    const std::vector<std::string> rus = messagesOf(sourceFile("src\\lng\\VantorelRus.lng"), 866);
    ASSERT_EQ(eng.size(), rus.size()) << "every text in both languages";
    std::vector<bool> listed(eng.size(), false);
    int rows = 0;
    for (const std::string& line : readLines(sourceFile("tests\\data\\boxTexts.tsv"))) {
        std::vector<std::string> f = fields(line);
        if (f.size() != 5 || f[0] == "id") continue;
        size_t id = std::stoul(f[0]);
        ASSERT_LT(id, eng.size()) << f[1];
        EXPECT_EQ(f[3], eng[id]) << f[1] << " (" << f[2] << ")";
        EXPECT_EQ(f[4], rus[id]) << f[1] << " (" << f[2] << ")";
        EXPECT_FALSE(f[2].empty()) << f[1] << ": which key shows it";
        listed[id] = true;
        ++rows;
    }
    EXPECT_GT(rows, MGoBackVersions) << "the table is there";
    for (size_t id = 0; id < listed.size(); ++id)
        if (eng[id] != "-") EXPECT_TRUE(listed[id]) << "message " << id << " (" << eng[id] << ") is in no row";
}
