// The version rules (the number found in a line of a file_id.diz, the 16-byte
// field, the folder whose file_id.diz belongs to a DLL) against models over
// std::string.
#include "fuzzTarget.h"

#include "describe/versionText.h"

#include <stdlib.h>
#include <string.h>

namespace {

const char NAME[] = "version";

std::string lowerModel(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool endsNumber(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return strchr(" \t:\n\r()", c) != nullptr || u == 0xBA || u == 0xB3;
}

// Position and text of the version in a lower-cased line, npos when none.
size_t findModel(const std::string& s, std::string* version) {
    size_t from = 0;
    for (;;) {
        size_t v = s.find('v', from);
        if (v == std::string::npos) return v;
        size_t number;
        if (s.compare(v, 8, "version ") == 0)
            number = v + 8;
        else if (s.compare(v, 3, "ver") == 0)
            number = v + 3;
        else if (v + 1 < s.size() && (s[v + 1] == '.' || s[v + 1] == ' ' || isDigit(s[v + 1])))
            number = v + 1;
        else {
            from = v + 1;
            continue;
        }
        while (number < s.size() && (s[number] == '.' || s[number] == ' ' || s[number] == '\t')) ++number;
        if (number >= s.size() || !isDigit(s[number])) {
            from = number;
            continue;
        }
        size_t end = number;
        while (end < s.size() && end - number < 16 && !endsNumber(s[end])) ++end;
        *version = s.substr(number, end - number);
        return number;
    }
}

void checkFolder(const std::string& path, size_t cap) {
    char* folder = static_cast<char*>(malloc(cap ? cap : 1));
    bool ok = versionFolderOf(path.c_str(), folder, cap);
    size_t slash = path.rfind('\\');
    bool want = cap && slash != std::string::npos && slash + 1 < cap;
    FUZZ_EXPECT(NAME, ok == want);
    if (want) {
        std::string expected = path.substr(0, slash + 1);
        size_t n = expected.size();
        if (n > 10 && lowerModel(expected.substr(n - 5)) == "\\bin\\") expected.erase(n - 4);
        FUZZ_EXPECT(NAME, std::string(folder) == expected);
    } else if (cap) {
        FUZZ_EXPECT(NAME, folder[0] == 0);
    }
    free(folder);
}

}  // namespace

FUZZ_TARGET(fuzzVersion) {
    FuzzInput in(data, size);
    size_t cap = in.byte();
    std::string path = cText(in.part());
    // A line of a file_id.diz as fgets gives it: at most 259 bytes.
    std::string line = cText(in.rest()).substr(0, 259);

    char* buffer = static_cast<char*>(malloc(line.size() + 1));
    memcpy(buffer, line.c_str(), line.size() + 1);
    lowerLetters(buffer);
    std::string lowered = lowerModel(line);
    FUZZ_EXPECT(NAME, std::string(buffer) == lowered);

    size_t length = 99;
    const char* found = findVersion(buffer, &length);
    std::string want;
    size_t at = findModel(lowered, &want);
    FUZZ_EXPECT(NAME, at == std::string::npos ? found == nullptr : found == buffer + at);
    if (found) FUZZ_EXPECT(NAME, length == want.size() && std::string(found, length) == want);

    // The field takes at most 16 bytes and pads with zeros; the byte after it
    // is never touched.
    char field[VERSION_CHARS + 1];
    memset(field, 'Z', sizeof field);
    storeVersion(field, found, found ? length : 0);
    std::string stored = want.substr(0, VERSION_CHARS);
    FUZZ_EXPECT(NAME, memcmp(field, stored.data(), stored.size()) == 0);
    for (size_t i = stored.size(); i < VERSION_CHARS; ++i) FUZZ_EXPECT(NAME, field[i] == 0);
    FUZZ_EXPECT(NAME, field[VERSION_CHARS] == 'Z');
    free(buffer);

    checkFolder(path, cap);
    return 0;
}
