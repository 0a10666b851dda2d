#include "windows_wrappers/CalendarTime.h"

#include <cstddef>

std::wstring calendarTimeText(const CalendarTime& time, wchar_t separator)
{
    const auto padded = [](int value, std::size_t width) {
        std::wstring text = std::to_wstring(value);
        return text.size() < width ? std::wstring(width - text.size(), L'0') + text : text;
    };
    return padded(time.year, 4) + L"-" + padded(time.month, 2) + L"-" + padded(time.day, 2) + separator
        + padded(time.hour, 2) + L":" + padded(time.minute, 2) + L":" + padded(time.second, 2);
}
