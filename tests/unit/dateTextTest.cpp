// F3's dates read as FAR's panels show them in the user's locale.
#include "ui/dateText.h"

#include <gtest/gtest.h>

#include <string>

TEST(DateText, FollowsTheLocalesOrderAndSeparatorsWithATwoDigitYear) {
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 8;
    time.wHour = 1;
    time.wMinute = 8;
    SYSTEMTIME early = time;
    early.wYear = 2005;
    early.wMonth = 3;
    early.wDay = 4;
    early.wHour = 23;
    early.wMinute = 59;
    const struct {
        const SYSTEMTIME* time;
        DateStyle style;
        const char* text;
    } rows[] = {
        {&time, {0, '/', ':'}, "12/08/26 01:08"},   // month, day, year: FAR's own look in the US locale
        {&time, {1, '.', ':'}, "08.12.26 01:08"},   // day, month, year
        {&time, {2, '-', '.'}, "26-12-08 01.08"},   // year, month, day
        {&early, {0, '/', ':'}, "03/04/05 23:59"},
        {&early, {1, '.', ':'}, "04.03.05 23:59"},
        {&time, {0, 0, 0}, "12/08/26 01:08"},       // a locale without separators
    };
    for (const auto& row : rows) {
        char text[32];
        formatDate(text, sizeof text, *row.time, row.style);
        EXPECT_EQ(std::string(row.text), text) << row.style.order;
    }
    char small[9];
    formatDate(small, sizeof small, time, {0, '/', ':'});
    EXPECT_STREQ("12/08/26", small);   // cut at the buffer, never past it
}

TEST(DateText, AFileTimeIsShownInTheUsersLocalTimeAndAZeroTimeAsNothing) {
    SYSTEMTIME local = {};
    local.wYear = 2026;
    local.wMonth = 12;
    local.wDay = 8;
    local.wHour = 1;
    local.wMinute = 8;
    FILETIME localTime, written;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &written));
    char text[32];
    fileDateText(text, sizeof text, written);
    std::string shown = text;
    EXPECT_EQ(14u, shown.size()) << shown;
    EXPECT_NE(std::string::npos, shown.find("01")) << shown;
    EXPECT_NE(std::string::npos, shown.find("26")) << shown;
    EXPECT_EQ(std::string::npos, shown.find("2026")) << shown;
    FILETIME zero = {};
    fileDateText(text, sizeof text, zero);
    EXPECT_STREQ("", text);
}
