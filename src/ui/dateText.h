// Dates as FAR's own panels show them: the order and separators of the
// user's locale (day, month and year as the Windows settings say), a
// two-digit year, then hours and minutes.
#pragma once
#include <windows.h>

#include <stddef.h>

// The locale's date order as Windows numbers it (0 month-day-year, 1
// day-month-year, 2 year-month-day) and its separators.
struct DateStyle {
    int order;
    char dateSeparator;
    char timeSeparator;
};

// "12/08/26 01:08" for 8 December 2026 in the month-day-year order with "/"
// and ":". Plain formatting, no system call.
void formatDate(char* out, size_t cap, const SYSTEMTIME& time, const DateStyle& style);

// A file time in the user's local time and date style; empty for a zero time.
void fileDateText(char* out, size_t cap, const FILETIME& written);
