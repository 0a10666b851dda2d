#include "task_scheduler/AccountSid.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// A task's account, given by name or by SID, resolves to the SID that
// decides whether it is LocalSystem; an unknown one to nothing.
TEST(AccountSid, ResolvesNamesAndSids)
{
    struct Case {
        const wchar_t* account;
        std::optional<std::wstring> sid;
    };
    const Case cases[] = {
        {L"SYSTEM", L"S-1-5-18"},
        {L"NT AUTHORITY\\SYSTEM", L"S-1-5-18"},
        {L"S-1-5-18", L"S-1-5-18"},
        {L"s-1-5-18", L"S-1-5-18"},
        {L"S-1-5-32-544", L"S-1-5-32-544"},
        {L"Administrators", L"S-1-5-32-544"},
        {L"NoSuchAccountAnywhere", std::nullopt},
        {L"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.account, c.account + std::wcslen(c.account)));
        EXPECT_EQ(accountSid(c.account), c.sid);
    }
}

} // namespace
