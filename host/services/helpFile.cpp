#include "services/helpFile.h"

#include "common/hostText.h"
#include "modules/langFile.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace farhost {

namespace {

std::vector<std::string> lines(const std::string& content) {
    std::vector<std::string> out = splitText(content, '\n');
    for (std::string& l : out)
        if (!l.empty() && l.back() == '\r') l.pop_back();
    return out;
}

std::string plain(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '#') {
            if (i + 1 < line.size() && line[i + 1] == '#') out += '#', ++i;   // "##" is a '#'
            continue;
        }
        if (c == '~') {
            size_t end = line.find('~', i + 1);
            if (end == std::string::npos) continue;
            out += line.substr(i + 1, end - i - 1);
            i = end;
            if (i + 1 < line.size() && line[i + 1] == '@') {
                size_t close = line.find('@', i + 2);
                i = close == std::string::npos ? line.size() : close;
            }
            continue;
        }
        out += c;
    }
    return out;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::vector<std::string> helpTopics(const std::string& content) {
    std::vector<std::string> topics;
    for (const std::string& l : lines(content))
        if (l.size() > 1 && l[0] == '@' && l[1] != '-' && l[1] != '+') topics.push_back(trimBlanks(l.substr(1)));
    return topics;
}

std::vector<std::string> helpTopicText(const std::string& content, const std::string& topic) {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& l : lines(content)) {
        if (!l.empty() && l[0] == '@' && (l.size() < 2 || (l[1] != '-' && l[1] != '+'))) {
            if (inside) break;
            inside = equalNoCase(trimBlanks(l.substr(1)), topic);
            continue;
        }
        if (!inside) continue;
        std::string text = l;
        if (!text.empty() && text[0] == '$') text = text.substr(1);
        out.push_back(plain(text));
    }
    while (!out.empty() && trimBlanks(out.back()).empty()) out.pop_back();
    return out;
}

std::string chooseHelpFile(const std::string& moduleOrFolder, const std::string& language) {
    std::string folder = moduleOrFolder;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        size_t cut = folder.find_last_of('\\');
        folder = cut == std::string::npos ? std::string(".") : folder.substr(0, cut);
    }
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::string english, first;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*.hlf").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return std::string();
    do {
        std::string path = folder + data.cFileName;
        std::string head = readAll(path).substr(0, 200);
        if (head.compare(0, 3, "\xEF\xBB\xBF") == 0) head = head.substr(3);
        std::string name, description;
        parseLanguageHeader(head.substr(0, head.find('\n')), name, description);
        if (equalNoCase(name, language)) {
            FindClose(find);
            return path;
        }
        if (equalNoCase(name, "English") && english.empty()) english = path;
        if (first.empty()) first = path;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return english.empty() ? first : english;
}

std::string readHelpFile(const std::string& path) { return readAll(path); }

}  // namespace farhost
