#include "windows_wrappers/UtcTime.h"

#include <windows.h>

std::optional<CalendarTime> utcOfLocalTime(const CalendarTime& local)
{
    SYSTEMTIME localTime{};
    localTime.wYear = static_cast<WORD>(local.year);
    localTime.wMonth = static_cast<WORD>(local.month);
    localTime.wDay = static_cast<WORD>(local.day);
    localTime.wHour = static_cast<WORD>(local.hour);
    localTime.wMinute = static_cast<WORD>(local.minute);
    localTime.wSecond = static_cast<WORD>(local.second);
    SYSTEMTIME utc{};
    if (TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc) == FALSE) {
        return std::nullopt;
    }
    return CalendarTime{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond};
}
