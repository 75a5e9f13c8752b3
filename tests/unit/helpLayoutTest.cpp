// The help reads cleanly in FAR's help window at 80 columns, in both
// languages: FAR joins a paragraph's lines and wraps them itself, but a line
// that starts with a blank (a table row, a list item, a paragraph's first
// line) begins a line of its own, and one too wide for the window leaves its
// last words alone at the left edge.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

// FAR places its help window from column 4 to the screen's width less 4,
// and a line fits when its shown text is shorter than the room inside the
// frame: 75 - 4 - 1 = 70 at 80 columns.
const int SCREEN_COLUMNS = 80;
const int HELP_ROOM = (SCREEN_COLUMNS - 1 - 4) - 4 - 1;

std::string helpFile(const char* name) {
    return std::string(VANTOREL_SOURCE_DIR_W) + "\\src\\dist\\" + name;
}

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// What FAR shows of a help line: "#" (highlight) and "~" (link) marks take
// no room, nor does a link's "@topic@" target; a doubled mark is one
// character.
int shownLength(const std::string& line) {
    int length = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if ((c == '~' || c == '#' || c == '@') && i + 1 < line.size() && line[i + 1] == c) {
            ++length;
            ++i;
            continue;
        }
        if (c == '@') {
            size_t end = line.find('@', i + 1);
            if (end == std::string::npos) break;
            i = end;
            continue;
        }
        if (c != '#' && c != '~') ++length;
    }
    return length;
}

// The topics of a help file and the links its text makes.
struct HelpFacts {
    std::set<std::string> topics;
    std::set<std::string> links;
};

HelpFacts factsOf(const std::vector<std::string>& lines) {
    HelpFacts facts;
    for (const std::string& line : lines) {
        if (line.size() > 1 && line[0] == '@' && line != "@-" && line != "@+") facts.topics.insert(line.substr(1));
        for (size_t at = line.find("~@"); at != std::string::npos; at = line.find("~@", at + 2)) {
            size_t end = line.find('@', at + 2);
            if (end != std::string::npos) facts.links.insert(line.substr(at + 2, end - at - 2));
        }
    }
    return facts;
}

const char* const HELP_FILES[] = {"VantorelEng.hlf", "VantorelRus.hlf"};

// The paragraphs FAR joins and wraps itself: a line that starts with a blank
// and the lines without one that follow it, up to a blank line or a topic.
std::vector<std::vector<std::string>> paragraphsOf(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> paragraphs;
    std::vector<std::string> current;
    auto close = [&] {
        if (!current.empty()) paragraphs.push_back(current);
        current.clear();
    };
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '@' || line[0] == '$' || line[0] == '.') {
            close();
        } else if (line[0] == ' ') {
            close();
            current.push_back(line);
        } else if (!current.empty()) {
            current.push_back(line);
        }
    }
    close();
    return paragraphs;
}

// The last line FAR shows of a paragraph: it keeps the first line's indent,
// takes word after word while the line stays shorter than its room, and
// starts each further line with one blank.
std::string lastShownLine(const std::vector<std::string>& paragraph) {
    std::string joined;
    for (const std::string& line : paragraph) joined += (joined.empty() ? "" : " ") + line;
    size_t indent = joined.find_first_not_of(' ');
    std::string line = joined.substr(0, indent);
    bool first = true;
    size_t at = indent;
    while (at < joined.size()) {
        size_t end = joined.find(' ', at);
        if (end == std::string::npos) end = joined.size();
        std::string word = joined.substr(at, end - at);
        at = joined.find_first_not_of(' ', end);
        if (at == std::string::npos) at = joined.size();
        if (word.empty()) continue;
        std::string longer = first ? line + word : line + " " + word;
        if (first || shownLength(longer) < HELP_ROOM) {
            line = longer;
        } else {
            line = " " + word;
        }
        first = false;
    }
    return line;
}

}  // namespace

TEST(HelpLayout, NoLineThatStandsOnItsOwnIsWiderThanTheHelpWindowAt80Columns) {
    EXPECT_EQ(70, HELP_ROOM);
    for (const char* name : HELP_FILES) {
        std::vector<std::string> lines = linesOf(helpFile(name));
        ASSERT_GT(lines.size(), 20u) << name;
        bool inTopic = false, formatting = true;
        for (size_t n = 0; n < lines.size(); ++n) {
            const std::string& line = lines[n];
            if (line == "@-" || line == "@+") {
                formatting = line == "@+";
                continue;
            }
            if (!line.empty() && line[0] == '@') {
                inTopic = true;
                formatting = true;
                continue;
            }
            if (!inTopic || line.empty()) continue;
            // A title line, a line outside FAR's formatting, or a line that
            // starts with a blank is laid out as it stands.
            bool standsAlone = line[0] == '$' || line[0] == ' ' || !formatting;
            if (standsAlone) {
                EXPECT_LT(shownLength(line), HELP_ROOM) << name << " line " << n + 1 << ": " << line;
            }
        }
    }
}

TEST(HelpLayout, TopicsTheCodeOpensAndEveryLinkExistInBothLanguages) {
    // Contents: F1 in the list; Settings: F1 in the settings dialog.
    const std::set<std::string> opened = {"Contents", "Settings", "Install"};
    std::set<std::string> englishTopics;
    for (const char* name : HELP_FILES) {
        HelpFacts facts = factsOf(linesOf(helpFile(name)));
        for (const std::string& topic : opened) EXPECT_EQ(1u, facts.topics.count(topic)) << name << ": " << topic;
        for (const std::string& link : facts.links) EXPECT_EQ(1u, facts.topics.count(link)) << name << ": ~@" << link;
        if (englishTopics.empty()) {
            englishTopics = facts.topics;
        } else {
            EXPECT_EQ(englishTopics, facts.topics) << name;
        }
    }
}

TEST(HelpLayout, ShownLengthCountsWhatFarShows) {
    const struct {
        const char* line;
        int length;
    } rows[] = {
        {"   #Shift-F6#  text", 17},
        {"   ~Installing plugins~@Install@", 21},
        {"a ## b ~~ c", 9},
        {"", 0},
    };
    for (const auto& row : rows) EXPECT_EQ(row.length, shownLength(row.line)) << row.line;
}

TEST(HelpLayout, NoParagraphEndsInALoneWordAt80Columns) {
    for (const char* name : HELP_FILES) {
        int joined = 0;
        for (const auto& paragraph : paragraphsOf(linesOf(helpFile(name)))) {
            if (paragraph.size() < 2) continue;   // a line of its own is laid out as written
            ++joined;
            std::string last = lastShownLine(paragraph);
            EXPECT_NE(std::string::npos, last.find(' ', 1)) << name << ": \"" << last << "\" ends \"" << paragraph[0] << "\"";
        }
        EXPECT_GT(joined, 10) << name;
    }
}

TEST(HelpLayout, ParagraphsWrapAsFarWrapsThem) {
    // The first line keeps its indent; a word that would make a line 70
    // wide starts the next one.
    std::string first = "   " + std::string(60, 'a');
    EXPECT_EQ(" bbbbbbbb tail", lastShownLine({first + " bbbbbbbb", "tail"}));
    EXPECT_EQ(first + " bbbbb", lastShownLine({first, "bbbbb"}));   // 69 wide
    EXPECT_EQ(" bbbbbb", lastShownLine({first, "bbbbbb"}));          // 70 wide: on the next line
    EXPECT_EQ(first + " #abcde#", lastShownLine({first, "#abcde#"}));   // marks take no room
}
