#include "task_scheduler/TaskOwnership.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr std::int32_t serviceAccount = 5;
constexpr std::int32_t interactiveToken = 3;

// LocalSystem is told by its SID whatever the name's language; the English
// names stand for it only when the name could not be resolved.
TEST(TaskOwnership, LocalSystemIsToldBySid)
{
    struct Case {
        const char* name;
        std::wstring userId;
        std::optional<std::wstring> userSid;
        std::int32_t logonType;
        bool localSystem;
    };
    const Case cases[] = {
        {"English name, resolved", L"NT AUTHORITY\\SYSTEM", L"S-1-5-18", serviceAccount, true},
        {"German name, resolved", L"NT-AUTORIT\u00c4T\\SYSTEM", L"S-1-5-18", serviceAccount, true},
        {"French name, resolved", L"AUTORITE NT\\Syst\u00e8me", L"S-1-5-18", serviceAccount, true},
        {"the SID itself, unresolved", L"S-1-5-18", std::nullopt, serviceAccount, true},
        {"English short name, unresolved", L"system", std::nullopt, serviceAccount, true},
        {"English long name, unresolved", L"nt authority\\system", std::nullopt, serviceAccount, true},
        {"LocalSystem, unresolved", L"LocalSystem", std::nullopt, serviceAccount, true},
        {"French name, unresolved", L"AUTORITE NT\\Syst\u00e8me", std::nullopt, serviceAccount, false},
        {"a user named like it, resolved to their SID", L"SYSTEM", L"S-1-5-21-1-2-3-1001", serviceAccount, false},
        {"LocalService", L"NT AUTHORITY\\LOCAL SERVICE", L"S-1-5-19", serviceAccount, false},
        {"a SID that only starts like it", L"S-1-5-180", L"S-1-5-180", serviceAccount, false},
        {"LocalSystem in a user's session", L"SYSTEM", L"S-1-5-18", interactiveToken, false},
        {"a user", L"PC\\someone", L"S-1-5-21-1-2-3-1001", interactiveToken, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isLocalSystemServiceAccount(c.userId, c.userSid, c.logonType), c.localSystem);
        const RegisteredTaskDefinition definition{L"<Task/>", c.userId, c.logonType, c.userSid};
        EXPECT_EQ(definition.registeredAsLocalSystem(), c.localSystem);
        StartupTaskState state;
        state.userId = c.userId;
        state.userSid = c.userSid;
        state.logonType = c.logonType;
        EXPECT_EQ(notTheProgramReason(state).empty(), c.localSystem);
    }
}

} // namespace
