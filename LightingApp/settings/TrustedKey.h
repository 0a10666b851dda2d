#pragma once

#include "settings/KeyTrust.h"
#include "settings/RegistryKey.h"

#include <windows.h>

// Keys that LocalSystem trusts, opened and created in the 64-bit view without
// following a registry link (REG_OPTION_OPEN_LINK): a link is opened as
// itself, so that it can be refused rather than lead elsewhere.

// Opens root\path itself with access, KEY_QUERY_VALUE and READ_CONTROL (for
// its check).
LSTATUS openKeyItself(HKEY root, const wchar_t* path, REGSAM access, RegistryKey& key);

// Opens root\path as openKeyItself does, or creates it when it does not
// exist, with the descriptor sddl (set once more after it is created, as
// Wine ignores the one given to RegCreateKeyExW; nullptr: the one it
// inherits). An existing key keeps its own descriptor, whoever made it: the
// caller checks it.
LSTATUS createKeyItself(HKEY root, const wchar_t* path, const wchar_t* sddl, REGSAM access, RegistryKey& key);

// Whether the key, opened as itself, is a registry link.
bool isRegistryLink(HKEY key);

// The owner and access list a descriptor holds.
KeySecurityFacts keySecurityFacts(PSECURITY_DESCRIPTOR descriptor);

// Why the key, opened as itself with READ_CONTROL, is not trusted: a link,
// or its descriptor (keyDistrust); KeyDistrust::None when it is trusted.
KeyDistrust keyDistrustOf(HKEY key, KeyReaders readers);
