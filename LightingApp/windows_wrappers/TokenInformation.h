#pragma once

#include <windows.h>

#include <vector>

// The information of the given class (TokenUser, TokenGroups, ...) of this
// process's token, in a buffer of the size the token asks for; empty when it
// cannot be read. The buffer is made of pointer-sized elements, so that the
// structure at its start (TOKEN_USER, TOKEN_GROUPS, ...) is aligned.
std::vector<ULONG_PTR> processTokenInformation(TOKEN_INFORMATION_CLASS kind);
