// The description rules (blank collapsing, word removal, the cleaning of a
// file_id.diz line, the contents line of a help file and the choice among a
// plugin's menu strings) against models written over std::string.
#include "fuzzTarget.h"
#include "memoryFile.h"

#include "describe/descriptionText.h"
#include "far/farPlugin.h"

#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const char NAME[] = "description";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool startsNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (modelLower(text[i]) != modelLower(prefix[i])) return false;
    return true;
}

std::string collapseModel(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        if (!isBlank(s[i])) {
            out += s[i++];
            continue;
        }
        size_t end = i;
        while (end < s.size() && isBlank(s[end])) ++end;
        out += end == s.size() ? s.substr(i) : s.substr(i, 1);
        i = end;
    }
    return out;
}

std::string removeWordModel(std::string s, const std::string& word, const char* set) {
    if (word.empty()) return s;
    size_t at = std::string::npos;
    for (size_t i = 0; i + word.size() <= s.size(); ++i)
        if (startsNoCase(s.substr(i), word)) {
            at = i;
            break;
        }
    if (at == std::string::npos) return s;
    s.erase(at, word.size());
    if (set) {
        size_t run = 0;
        while (at + run < s.size() && strchr(set, s[at + run])) ++run;
        s.erase(at, run);
    }
    return s;
}

std::string cleanModel(const std::string& line) {
    std::string s = cText(line).substr(0, 299);
    s = s.substr(0, s.find_first_of("\r\n"));
    s = collapseModel(s);
    if (s.empty() || (s[0] != 'J' && s[0] != 'j')) {
        const char* removal = "v 0123456789.+:ab()";
        s = removeWordModel(s, "plugin", removal);
        s = removeWordModel(s, "for", nullptr);
        s = removeWordModel(s, "far ", removal);
        s = removeWordModel(s, "(version", removal);
        s = removeWordModel(s, "version", removal);
    }
    static const char* const marks[] = {" , ", "  ,", " ; ", "  ;", " . ", "  ."};
    for (size_t i = 0; i + 4 < s.size(); ++i)
        for (const char* mark : marks)
            if (s.compare(i, 3, mark) == 0) {
                s.erase(i, 3);
                break;
            }
    while (!s.empty() && strchr(" .,;:", s.back())) s.pop_back();
    s = collapseModel(s);
    s = s.substr(s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    return s.substr(0, 127);
}

// The first of at most five pieces of at most 127 bytes that begins with the
// key; its text after the first "=" up to the next line end.
bool scanModel(const std::string& file, std::string* text) {
    size_t at = 0;
    for (int reads = 0; reads < 5 && at < file.size(); ++reads) {
        size_t end = at;
        while (end < file.size() && end - at < 127 && (end == at || file[end - 1] != '\n')) ++end;
        std::string piece = cText(file.substr(at, end - at));
        at = end;
        if (!startsNoCase(piece, ".plugincontents")) continue;
        size_t equals = piece.find('=');
        text->clear();
        if (equals == std::string::npos) return true;
        size_t from = piece.find_first_not_of("\r\n", equals + 1);
        if (from == std::string::npos) return true;
        *text = piece.substr(from, piece.find_first_of("\r\n", from) - from).substr(0, 127);
        return true;
    }
    return false;
}

// A heap block of exactly the text's size, so that every overrun is seen.
char* exactCopy(const std::string& s) {
    char* block = static_cast<char*>(malloc(s.size() + 1));
    memcpy(block, s.c_str(), s.size() + 1);
    return block;
}

// shape: per list (disk, plugins, configuration) a bit for a non-zero count
// and a bit for a null list; bit 6 makes the disk menu's string null.
void checkMenu(uint8_t shape, uint8_t countBits, const std::string& text) {
    const char* strings[3][1] = {{(shape & 0x40) ? nullptr : text.c_str()}, {"plugins menu"}, {"config menu"}};
    const char* const* lists[3];
    int counts[3];
    for (int k = 0; k < 3; ++k) {
        counts[k] = (shape >> (2 * k)) & 1 ? 1 + ((countBits >> (2 * k)) & 3) : 0;
        lists[k] = (shape >> (2 * k + 1)) & 1 ? nullptr : strings[k];
    }
    PluginInfo info = {};
    info.StructSize = sizeof info;
    info.DiskMenuStrings = lists[0];
    info.DiskMenuStringsNumber = counts[0];
    info.PluginMenuStrings = lists[1];
    info.PluginMenuStringsNumber = counts[1];
    info.PluginConfigStrings = lists[2];
    info.PluginConfigStringsNumber = counts[2];
    const char* want = "";
    for (int k = 0; k < 3; ++k)
        if (counts[k]) {
            want = lists[k] ? lists[k][0] : nullptr;
            break;
        }
    const char* got = menuDescriptionOf(&info);
    FUZZ_EXPECT(NAME, (got == nullptr) == (want == nullptr));
    if (got && want) FUZZ_EXPECT(NAME, strcmp(got, want) == 0);
}

}  // namespace

FUZZ_TARGET(fuzzDescription) {
    FuzzInput in(data, size);
    std::string word = cText(in.part());
    std::string set = cText(in.part());
    bool withSet = in.byte() & 1;
    uint8_t menuShape = in.byte();
    uint8_t menuCounts = in.byte();
    std::string line = in.rest();
    std::string text = cText(line);

    char* buffer = exactCopy(text);
    collapseBlanks(buffer);
    FUZZ_EXPECT(NAME, std::string(buffer) == collapseModel(text));
    free(buffer);

    buffer = exactCopy(text);
    removeWord(buffer, word.c_str(), withSet ? set.c_str() : nullptr);
    FUZZ_EXPECT(NAME, std::string(buffer) == removeWordModel(text, word, withSet ? set.c_str() : nullptr));
    free(buffer);

    // The first line of a file_id.diz as fgets gives it: at most 299 bytes.
    std::string dizLine = line.substr(0, 299);
    char* source = exactCopy(dizLine);
    char out[128];
    memset(out, 'Z', sizeof out);
    cleanDizLine(source, out, sizeof out);
    free(source);
    FUZZ_EXPECT(NAME, memchr(out, 0, sizeof out) != nullptr);
    FUZZ_EXPECT(NAME, std::string(out) == cleanModel(dizLine));

    MemoryFile file{line.data(), line.size(), 0, 0};
    char contents[128];
    memset(contents, 'Z', sizeof contents);
    contents[0] = 0;
    bool found = scanHelpContents(readMemoryPiece, &file, contents, sizeof contents);
    std::string want;
    FUZZ_EXPECT(NAME, found == scanModel(line, &want));
    if (found) FUZZ_EXPECT(NAME, std::string(contents) == want);
    FUZZ_EXPECT(NAME, file.reads <= 5);

    checkMenu(menuShape, menuCounts, text);
    return 0;
}
