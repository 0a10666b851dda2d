#include "task_scheduler/AccountSid.h"

#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <sddl.h>

#include <array>
#include <cstdint>
#include <vector>

std::optional<std::wstring> accountSid(const std::wstring& account)
{
    if (account.empty()) {
        return std::nullopt;
    }
    PSID given = nullptr;
    LocalPointer<void> fromString;
    std::vector<std::uint8_t> looked(SECURITY_MAX_SID_SIZE);
    if (ConvertStringSidToSidW(account.c_str(), &given)) {
        fromString.reset(given);
    } else {
        std::array<wchar_t, 256> domain{};
        auto sidSize = static_cast<DWORD>(looked.size());
        auto domainLength = static_cast<DWORD>(domain.size());
        SID_NAME_USE use = SidTypeUnknown;
        if (!LookupAccountNameW(nullptr, account.c_str(), looked.data(), &sidSize, domain.data(), &domainLength,
                                &use)) {
            return std::nullopt;
        }
        given = looked.data();
    }
    wchar_t* raw = nullptr;
    if (!ConvertSidToStringSidW(given, &raw)) {
        return std::nullopt;
    }
    const LocalPointer<wchar_t> text(raw);
    return std::wstring(text.get());
}
