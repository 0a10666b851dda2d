#pragma once

#include "policy/ColourPolicy.h"

#include <windows.h>

// The policy key's values, read from the machine root (HKEY_LOCAL_MACHINE, or
// a test's key in its place) in the 64-bit view; nothing is created. A key
// that does not exist, or that cannot be opened, holds no values.
PolicyValues readPolicyValues(HKEY machineRoot = HKEY_LOCAL_MACHINE);

// The decision on the policy as the registry holds it now.
inline ColourPolicy readColourPolicy(HKEY machineRoot = HKEY_LOCAL_MACHINE)
{
    return decidePolicy(readPolicyValues(machineRoot));
}
