#include "windows_wrappers/AccountName.h"

#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <sddl.h>

#include <array>

std::wstring accountName(const std::wstring& sid)
{
    if (sid == L"S-1-5-18") {
        return L"LocalSystem";
    }
    PSID raw = nullptr;
    if (!ConvertStringSidToSidW(sid.c_str(), &raw)) {
        return {};
    }
    const LocalPointer<void> owned(raw);
    std::array<wchar_t, 256> name{};
    std::array<wchar_t, 256> domain{};
    auto nameLength = static_cast<DWORD>(name.size());
    auto domainLength = static_cast<DWORD>(domain.size());
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountSidW(nullptr, raw, name.data(), &nameLength, domain.data(), &domainLength, &use)) {
        return {};
    }
    const std::wstring account(name.data(), nameLength);
    return domainLength == 0 ? account : std::wstring(domain.data(), domainLength) + L"\\" + account;
}
