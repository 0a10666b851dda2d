#pragma once

#include <windows.h>

namespace simulated_machine {

// The security settings a client put on a services object with
// CoSetProxyBlanket; pointers are kept only as "given or not".
struct ProxyBlanket {
    DWORD authenticationService = 0;
    DWORD authorizationService = 0;
    bool principalGiven = false;
    DWORD authenticationLevel = 0;
    DWORD impersonationLevel = 0;
    bool identityGiven = false;
    DWORD capabilities = 0;
};

} // namespace simulated_machine
