#include "location_check/RunningAdministrator.h"

#include "windows_wrappers/UniqueHandle.h"

#include <vector>

namespace {

// The token information of the given class, in a buffer of the size the token
// asks for; empty when it cannot be read. The buffer is made of pointer-sized
// elements, so that the structures at its start are aligned.
std::vector<ULONG_PTR> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<ULONG_PTR> buffer((size + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR));
    if (!GetTokenInformation(token, kind, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

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

UniqueHandle processToken()
{
    UniqueHandle token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive());
    return token;
}

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
