#include "services/wildcards.h"

#include "common/hostText.h"

#include <string.h>

namespace farhost {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool match(const char* mask, const char* name) {
    for (; *mask; ++mask, ++name) {
        if (*mask == '*') {
            while (*mask == '*') ++mask;
            if (!*mask) return true;
            const char* rest = name;
            for (; *name; ++name)
                if (match(mask, name)) return true;
            // "name*." and "*.*" also take names without the dot.
            bool dotOnly = (mask[0] == '.' && mask[1] == 0) || (mask[0] == '.' && mask[1] == '*' && mask[2] == 0);
            return dotOnly && !strchr(rest, '.');
        }
        if (!*name) return (mask[0] == '.' && mask[1] == 0) || (mask[0] == '.' && mask[1] == '*' && mask[2] == 0);
        if (*mask != '?' && lower(*mask) != lower(*name)) return false;
    }
    return !*name;
}

}  // namespace

bool matchesMask(const std::string& mask, const std::string& name) { return match(mask.c_str(), name.c_str()); }

bool matchesMaskList(const std::string& masks, const std::string& name) {
    std::string current;
    bool quoted = false;
    for (size_t i = 0; i <= masks.size(); ++i) {
        char c = i < masks.size() ? masks[i] : ',';
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c == ',' || c == ';')) {
            std::string m = trimBlanks(current);
            if (!m.empty() && matchesMask(m, name)) return true;
            current.clear();
            continue;
        }
        current += c;
    }
    return false;
}

}  // namespace farhost
