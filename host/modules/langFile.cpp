#include "modules/langFile.h"

#include "common/fileSystem.h"
#include "common/hostText.h"

#include <windows.h>

#include <algorithm>

namespace farhost {

static std::string firstLineOf(const std::string& content) {
    size_t start = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;   // a UTF-8 mark
    size_t end = content.find_first_of("\r\n", start);
    return content.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool parseLanguageHeader(const std::string& line, std::string& name, std::string& description) {
    static const char kKey[] = ".Language=";
    std::string text = trimBlanks(line);
    if (text.size() < sizeof kKey - 1 || !equalNoCase(text.substr(0, sizeof kKey - 1), kKey))
        return false;
    std::string rest = text.substr(sizeof kKey - 1);
    size_t comma = rest.find(',');
    name = trimBlanks(rest.substr(0, comma));
    description = comma == std::string::npos ? std::string() : trimBlanks(rest.substr(comma + 1));
    return !name.empty();
}

bool parseMessageLine(const std::string& line, std::string& text) {
    size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos || line[pos] != '"') return false;
    text.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') return true;
        if (c == '\r' || c == '\n') break;
        if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            text += line[++i];
            continue;
        }
        text += c;
    }
    return true;   // no closing quote: the rest of the line counts
}

std::vector<std::string> parseLanguageMessages(const std::string& content) {
    std::vector<std::string> messages;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string text;
        if (parseMessageLine(content.substr(start, end - start), text)) messages.push_back(text);
        start = end + 1;
    }
    return messages;
}

std::string chooseLanguageFile(const std::string& folder, const std::string& language) {
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*.lng").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());   // the same choice on every run

    std::string english;
    for (const std::string& n : names) {
        std::string content;
        if (!readFileText(dir + n, content, 4096)) continue;
        std::string name, description;
        if (!parseLanguageHeader(firstLineOf(content), name, description)) continue;
        if (equalNoCase(name, language)) return dir + n;
        if (english.empty() && equalNoCase(name, "English")) english = dir + n;
    }
    return english;
}

std::vector<std::string> loadLanguageMessages(const std::string& folder, const std::string& language) {
    std::string path = chooseLanguageFile(folder, language);
    std::string content;
    if (path.empty() || !readFileText(path, content)) return {};
    return parseLanguageMessages(content);
}

}  // namespace farhost
