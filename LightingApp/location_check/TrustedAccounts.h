#pragma once

#include <windows.h>

#include <vector>

namespace WellKnownSids {
inline constexpr const wchar_t* localSystem = L"S-1-5-18";
inline constexpr const wchar_t* administrators = L"S-1-5-32-544";
inline constexpr const wchar_t* trustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
} // namespace WellKnownSids

// A security identifier held by value.
using SidBytes = std::vector<BYTE>;

// The accounts that may own, and change, what the startup task runs:
// LocalSystem, the Administrators group, TrustedInstaller, and the
// administrator who registers the task.
class TrustedAccounts {
public:
    // runningAdministrator: the account that writes the task file when it is
    // an administrator (see runningAdministrator()); empty when it is not.
    explicit TrustedAccounts(const SidBytes& runningAdministrator);

    bool contains(PSID sid) const;

private:
    std::vector<SidBytes> accounts;
};

// The SID that the string form (S-1-5-...) denotes; empty when it is not one.
SidBytes sidFromString(const wchar_t* text);

// A copy of a valid SID.
SidBytes sidBytesOf(PSID sid);

// The account the token belongs to, when it is a member of the Administrators
// group; empty otherwise or when the token cannot be read. Under UAC an
// unelevated administrator's filtered token still holds the group (for deny
// only): that counts, since it is the same person.
SidBytes runningAdministrator(HANDLE token);
