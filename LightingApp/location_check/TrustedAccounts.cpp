#include "location_check/TrustedAccounts.h"

#include "windows_wrappers/LocalPointer.h"

#include <sddl.h>

#include <algorithm>

SidBytes sidFromString(const wchar_t* text)
{
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(text, &sid)) {
        return {};
    }
    const LocalPointer<void> owned(sid);
    return sidBytesOf(sid);
}

SidBytes sidBytesOf(PSID sid)
{
    const auto* bytes = static_cast<const BYTE*>(sid);
    return SidBytes(bytes, bytes + GetLengthSid(sid));
}

TrustedAccounts::TrustedAccounts(const SidBytes& runningAdministrator)
    : accounts{sidFromString(WellKnownSids::localSystem), sidFromString(WellKnownSids::administrators),
               sidFromString(WellKnownSids::trustedInstaller)}
{
    if (!runningAdministrator.empty()) {
        accounts.push_back(runningAdministrator);
    }
}

bool TrustedAccounts::contains(PSID sid) const
{
    if (sid == nullptr || !IsValidSid(sid)) {
        return false;
    }
    // Two valid SIDs are the same account exactly when their bytes are equal.
    return std::find(accounts.begin(), accounts.end(), sidBytesOf(sid)) != accounts.end();
}
