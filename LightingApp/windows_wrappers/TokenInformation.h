#pragma once

#include "windows_wrappers/UniqueHandle.h"

#include <windows.h>

#include <vector>

// The access token of this process, opened for queries (empty when it cannot
// be opened).
UniqueHandle processToken();

// The information of the given class (TokenUser, TokenGroups, ...) of a token,
// in a buffer of the size the token asks for; empty when it cannot be read.
// The buffer is made of pointer-sized elements, so that the structure at its
// start (TOKEN_USER, TOKEN_GROUPS, ...) is aligned.
std::vector<ULONG_PTR> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind);

// The same for this process's token.
std::vector<ULONG_PTR> processTokenInformation(TOKEN_INFORMATION_CLASS kind);
