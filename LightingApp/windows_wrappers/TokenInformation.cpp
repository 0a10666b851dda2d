#include "windows_wrappers/TokenInformation.h"

#include "windows_wrappers/UniqueHandle.h"

std::vector<ULONG_PTR> processTokenInformation(TOKEN_INFORMATION_CLASS kind)
{
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), kind, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<ULONG_PTR> buffer((size + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR));
    if (!GetTokenInformation(token.get(), kind, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}
