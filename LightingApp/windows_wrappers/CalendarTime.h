#pragma once

#include <string>

// A date and time of day as Windows gives it (SYSTEMTIME's fields), local or
// UTC as its source says.
struct CalendarTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "2024-05-01 10:00:00", with separator between the date and the time: the
// one form in which the program writes a time (a 'T' and a trailing 'Z' make
// it ISO 8601 UTC).
std::wstring calendarTimeText(const CalendarTime& time, wchar_t separator);
