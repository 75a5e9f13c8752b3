// The reading of a plugin's language file (the language its first line names,
// the message lines and their texts) against models over std::string. The
// file is served as fgets serves it, NUL bytes included: a physical line takes
// one id at most, whatever bytes it holds.
#include "fuzzTarget.h"
#include "memoryFile.h"

#include "foreign/langFileText.h"

#include <string.h>
#include <algorithm>
#include <vector>

namespace {

const char NAME[] = "language";

// The text of a message line read into a piece, or false for another line.
bool messageModel(const std::string& piece, std::string* text) {
    std::string s = cText(piece);
    if (s.empty() || s[0] != '"') return false;
    s = s.substr(0, s.find_first_of("\r\n"));
    size_t closing = s.rfind('"');
    if (closing != 0) s.erase(closing);
    s.erase(0, 1);
    for (;;) {
        size_t at = s.find("\\\"");
        if (at == std::string::npos) at = s.find("\\\\");
        if (at == std::string::npos) break;
        s.erase(at, 1);
    }
    *text = s;
    return true;
}

// One message per physical line whose first read begins with a quote.
std::vector<std::string> messagesModel(const std::string& file) {
    std::vector<std::string> texts;
    size_t start = 0;
    while (start < file.size()) {
        size_t end = file.find('\n', start);
        end = end == std::string::npos ? file.size() : end + 1;
        std::string text;
        if (messageModel(file.substr(start, std::min<size_t>(end - start, MESSAGE_PIECE_CHARS)), &text))
            texts.push_back(text);
        start = end;
    }
    return texts;
}

bool collect(const char* text, void* list) {
    static_cast<std::vector<std::string>*>(list)->push_back(text);
    return true;
}

void checkLanguageLine(const std::string& first, const std::string& wanted) {
    std::string line = cText(first);
    bool named = false;
    std::string want;
    if (line.size() >= 9 && modelSameNoCase(line.substr(0, 9), ".language")) {
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            size_t name = line.find_first_not_of(' ', equals + 1);
            if (name == std::string::npos) name = line.size();
            size_t comma = line.find(',', name);
            named = comma != std::string::npos;
            if (named) want = line.substr(name, comma - name);
        }
    }
    size_t length = 0;
    const char* name = languageNameOf(line.c_str(), &length);
    FUZZ_EXPECT(NAME, (name != nullptr) == named);
    if (!name || !named) return;
    FUZZ_EXPECT(NAME, std::string(name, length) == want);
    std::string other = cText(wanted);
    FUZZ_EXPECT(NAME, sameLanguage(name, length, other.c_str()) == modelSameNoCase(want, other));
    FUZZ_EXPECT(NAME, sameLanguage(name, length, "English") == modelSameNoCase(want, "English"));
}

}  // namespace

FUZZ_TARGET(fuzzLanguage) {
    FuzzInput in(data, size);
    std::string wanted = in.part();
    std::string file = in.rest();

    // The first line as the language search reads it: up to 1023 bytes.
    size_t firstEnd = file.find('\n');
    std::string first = file.substr(0, std::min<size_t>(firstEnd == std::string::npos ? file.size() : firstEnd + 1, 1023));
    checkLanguageLine(first, wanted);

    MemoryFile memory{file.data(), file.size(), 0, 0};
    std::vector<std::string> texts;
    FUZZ_EXPECT(NAME, readMessageLines(readMemoryPiece, &memory, collect, &texts));
    FUZZ_EXPECT(NAME, texts == messagesModel(file));
    return 0;
}
