#include "ui/dateText.h"

#include <stdio.h>
#include <stdlib.h>

void formatDate(char* out, size_t cap, const SYSTEMTIME& time, const DateStyle& style) {
    if (!out || !cap) return;
    unsigned year = time.wYear % 100u;
    unsigned first = time.wMonth, second = time.wDay, third = year;
    if (style.order == 1) {
        first = time.wDay;
        second = time.wMonth;
    } else if (style.order != 0) {
        first = year;
        second = time.wMonth;
        third = time.wDay;
    }
    char d = style.dateSeparator ? style.dateSeparator : '/';
    char t = style.timeSeparator ? style.timeSeparator : ':';
    snprintf(out, cap, "%02u%c%02u%c%02u %02u%c%02u", first, d, second, d, third, static_cast<unsigned>(time.wHour), t,
             static_cast<unsigned>(time.wMinute));
}

namespace {

// The first character of a locale setting, as FAR takes its separators.
char localeChar(LCTYPE type) {
    char info[16] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, info, sizeof info);
    return info[0];
}

}  // namespace

void fileDateText(char* out, size_t cap, const FILETIME& written) {
    if (!out || !cap) return;
    out[0] = 0;
    FILETIME local;
    SYSTEMTIME time;
    if (!written.dwHighDateTime || !FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time))
        return;
    char order[16] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDATE, order, sizeof order);
    DateStyle style = {atoi(order), localeChar(LOCALE_SDATE), localeChar(LOCALE_STIME)};
    formatDate(out, cap, time, style);
}
