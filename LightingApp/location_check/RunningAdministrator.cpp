#include "location_check/RunningAdministrator.h"

#include "windows_wrappers/TokenInformation.h"

#include <vector>

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
