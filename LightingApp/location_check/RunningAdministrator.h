#pragma once

#include "location_check/TrustedAccounts.h"

#include <windows.h>

// The account the token belongs to, when it is a member of the Administrators
// group; empty otherwise or when the token cannot be read. Under UAC an
// unelevated administrator's filtered token still holds the group (for deny
// only): that counts, since it is the same person.
SidBytes runningAdministrator(HANDLE token);
