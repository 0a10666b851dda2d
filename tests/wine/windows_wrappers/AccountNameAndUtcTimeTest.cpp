#include "windows_wrappers/AccountName.h"
#include "windows_wrappers/UtcTime.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// A SID becomes the name Windows gives it, with its domain; text that is no
// SID, or a SID no account has, gives no name rather than a wrong one.
TEST(AccountName, IsWhatWindowsCallsTheSid)
{
    struct Case {
        const wchar_t* sid;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"S-1-5-18", L"LocalSystem"},
        {L"S-1-5-32-544", L"BUILTIN\\Administrators"},
        {L"S-1-1-0", L"Everyone"},
        {L"", L""},
        {L"LocalSystem", L""},
        {L"S-1-5-21-1-2-3-4242", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sid, c.sid + wcslen(c.sid)));
        EXPECT_EQ(accountName(c.sid), c.name);
    }
}

// The UTC time is the one this machine's time zone shows as the local time
// given, field by field; a date that does not exist converts to nothing.
TEST(UtcTime, ShowsAsTheLocalTimeGiven)
{
    const CalendarTime local{2026, 12, 8, 1, 23, 45};
    const std::optional<CalendarTime> utc = utcOfLocalTime(local);
    ASSERT_TRUE(utc.has_value());
    SYSTEMTIME asUtc{};
    asUtc.wYear = static_cast<WORD>(utc->year);
    asUtc.wMonth = static_cast<WORD>(utc->month);
    asUtc.wDay = static_cast<WORD>(utc->day);
    asUtc.wHour = static_cast<WORD>(utc->hour);
    asUtc.wMinute = static_cast<WORD>(utc->minute);
    asUtc.wSecond = static_cast<WORD>(utc->second);
    SYSTEMTIME back{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &asUtc, &back));
    EXPECT_EQ(calendarTimeText(CalendarTime{back.wYear, back.wMonth, back.wDay, back.wHour, back.wMinute, back.wSecond},
                               L' '),
              calendarTimeText(local, L' '));
    EXPECT_FALSE(utcOfLocalTime(CalendarTime{2026, 13, 8, 1, 23, 45}).has_value());
}

} // namespace
