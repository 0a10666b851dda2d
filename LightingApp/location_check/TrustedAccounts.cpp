#include "location_check/TrustedAccounts.h"

#include "windows_wrappers/LocalPointer.h"
#include "windows_wrappers/TokenInformation.h"

#include <sddl.h>

#include <algorithm>
#include <vector>

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

namespace {

bool holdsAdministrators(const TOKEN_GROUPS& groups)
{
    const SidBytes administrators = sidFromString(WellKnownSids::administrators);
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        const SID_AND_ATTRIBUTES& group = groups.Groups[i];
        const bool counts = (group.Attributes & (SE_GROUP_ENABLED | SE_GROUP_USE_FOR_DENY_ONLY)) != 0;
        if (counts && sidBytesOf(group.Sid) == administrators) {
            return true;
        }
    }
    return false;
}

} // namespace

SidBytes runningAdministrator(HANDLE token)
{
    if (token == nullptr) {
        return {};
    }
    const auto groups = tokenInformation(token, TokenGroups);
    const auto user = tokenInformation(token, TokenUser);
    if (groups.empty() || user.empty() || !holdsAdministrators(*reinterpret_cast<const TOKEN_GROUPS*>(groups.data()))) {
        return {};
    }
    return sidBytesOf(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}
