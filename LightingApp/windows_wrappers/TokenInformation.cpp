#include "windows_wrappers/TokenInformation.h"

UniqueHandle processToken()
{
    UniqueHandle token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive());
    return token;
}

std::vector<ULONG_PTR> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    if (token == nullptr) {
        return {};
    }
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

std::vector<ULONG_PTR> processTokenInformation(TOKEN_INFORMATION_CLASS kind)
{
    const UniqueHandle token = processToken();
    return tokenInformation(token.get(), kind);
}
