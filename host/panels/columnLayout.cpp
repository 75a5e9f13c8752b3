#include "panels/columnLayout.h"

#include <stdio.h>
#include <stdlib.h>

namespace farhost {

std::vector<int> layoutColumnWidths(const std::vector<std::string>& widthTexts, size_t count, int available) {
    std::vector<int> widths(count, 0);
    std::vector<bool> sharing(count, false);
    if (available < 0) available = 0;
    int used = 0;
    int sharers = 0;
    for (size_t i = 0; i < count; ++i) {
        std::string text = i < widthTexts.size() ? widthTexts[i] : std::string();
        int w = atoi(text.c_str());
        if (w <= 0) {
            sharing[i] = true;
            ++sharers;
            continue;
        }
        if (text.back() == '%') w = available * w / 100;
        widths[i] = w;
        used += w;
    }
    if (sharers == 0) return widths;
    int rest = available > used ? available - used : 0;
    int share = rest / sharers;
    int odd = rest % sharers;
    for (size_t i = 0; i < count; ++i) {
        if (!sharing[i]) continue;
        widths[i] = share + (odd > 0 ? 1 : 0);
        if (odd > 0) --odd;
    }
    return widths;
}

int defaultColumnWidth(const std::string& type) {
    if (type.empty()) return 0;
    switch (type[0]) {
    case 'S': case 'P': return 6;
    case 'T': return 5;
    case 'A': return 6;
    case 'L': return 3;
    case 'D': return type.size() > 1 && (type[1] == 'M' || type[1] == 'C' || type[1] == 'A') ? 14 : 8;
    default: return 0;
    }
}

std::vector<int> layoutColumnWidths(const std::vector<std::string>& widthTexts, const std::vector<std::string>& types,
                                    int available) {
    std::vector<std::string> resolved(types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        std::string text = i < widthTexts.size() ? widthTexts[i] : std::string();
        int own = defaultColumnWidth(types[i]);
        resolved[i] = atoi(text.c_str()) <= 0 && own > 0 ? std::to_string(own) : text;
    }
    return layoutColumnWidths(resolved, types.size(), available);
}

std::string fitLeft(const std::string& s, int width) {
    if (width <= 0) return std::string();
    if (static_cast<int>(s.size()) >= width) return s.substr(0, width);
    return s + std::string(width - s.size(), ' ');
}

std::string fitRight(const std::string& s, int width) {
    if (width <= 0) return std::string();
    if (static_cast<int>(s.size()) >= width) return s.substr(s.size() - width);
    return std::string(width - s.size(), ' ') + s;
}

std::string fitCenter(const std::string& s, int width) {
    if (width <= 0) return std::string();
    if (static_cast<int>(s.size()) >= width) return s.substr(0, width);
    int left = (width - static_cast<int>(s.size())) / 2;
    return std::string(left, ' ') + s + std::string(width - left - s.size(), ' ');
}

std::string withThousands(unsigned long long value) {
    std::string digits = std::to_string(value);
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += ',';
    }
    return out;
}

std::string formatSize(unsigned long long value, bool separators, int width) {
    if (width <= 0) return std::string();
    if (separators) {
        std::string s = withThousands(value);
        if (static_cast<int>(s.size()) <= width) return fitRight(s, width);
    }
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) <= width) return fitRight(s, width);
    static const char kUnits[] = "KMGT";
    unsigned long long v = value;
    for (const char* unit = kUnits; *unit; ++unit) {
        v = (v + 1023) / 1024;
        s = std::to_string(v) + *unit;
        if (static_cast<int>(s.size()) <= width) return fitRight(s, width);
    }
    return std::string(width, '*');   // no room even for units, as the host marks it
}

static bool localTime(const FILETIME& ft, SYSTEMTIME& st) {
    if (ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0) return false;
    FILETIME local;
    if (!FileTimeToLocalFileTime(&ft, &local)) return false;
    return FileTimeToSystemTime(&local, &st) != 0;
}

std::string formatDate(const FILETIME& ft) {
    SYSTEMTIME st;
    if (!localTime(ft, st)) return std::string();
    char buf[16];
    snprintf(buf, sizeof buf, "%02u.%02u.%02u", st.wDay, st.wMonth, st.wYear % 100);
    return buf;
}

std::string formatTime(const FILETIME& ft) {
    SYSTEMTIME st;
    if (!localTime(ft, st)) return std::string();
    char buf[16];
    snprintf(buf, sizeof buf, "%02u:%02u", st.wHour, st.wMinute);
    return buf;
}

std::string defaultColumnTitle(const std::string& type) {
    if (type.empty()) return std::string();
    switch (type[0]) {
    case 'N': return "Name";
    case 'S': return "Size";
    case 'P': return "Packed";
    case 'Z': return "Description";
    case 'O': return "Owner";
    case 'T': return "Time";
    case 'A': return "Attr";
    case 'C': return std::string();
    case 'D':
        if (type.size() > 1 && type[1] == 'M') return "Modified";
        if (type.size() > 1 && type[1] == 'C') return "Created";
        if (type.size() > 1 && type[1] == 'A') return "Accessed";
        return "Date";
    default: return type;
    }
}

}  // namespace farhost
