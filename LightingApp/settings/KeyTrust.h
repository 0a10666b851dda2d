#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whether a registry key that LocalSystem trusts (the installer's kept tasks,
// the machine's run record) is as only LocalSystem and administrators can
// have made it: the decision on its security descriptor, portable; reading
// the descriptor is in TrustedKey.h.

// One entry of the key's access list.
struct KeyAccessEntry {
    enum class Kind { Allowed, Denied, Other };
    Kind kind = Kind::Allowed;
    bool inherited = false;
    // Whether it names LocalSystem or Administrators.
    bool trustedAccount = false;
    std::uint32_t mask = 0;
};

// The key's owner and access list as its descriptor holds them.
struct KeySecurityFacts {
    // Whether the owner is LocalSystem or Administrators.
    bool trustedOwner = false;
    // Whether the descriptor has an access list (none lets everyone in) and
    // whether that list is protected from the parent's entries.
    bool hasAccessList = false;
    bool protectedList = false;
    std::vector<KeyAccessEntry> entries;
};

// Who else the key's access list may name: nobody, or anyone with rights
// to read it alone (an entry that denies takes nothing from the others' trust).
enum class KeyReaders { TrustedOnly, Anyone };

// Why a key is not trusted; None when it is.
enum class KeyDistrust {
    None,
    // A registry link, which leads to another key (TrustedKey.h tells).
    Link,
    Owner,
    NoAccessList,
    NotProtected,
    InheritedEntry,
    UnknownEntry,
    OtherAccount,
    OthersMayChange,
    // The descriptor could not be read.
    Unreadable,
};

// The rights of a key entry that change nothing: reading values and subkeys,
// being notified of changes, reading the descriptor, waiting on it.
inline constexpr std::uint32_t keyReadRights = 0x00020019U | 0x00100000U | 0x80000000U;

KeyDistrust keyDistrust(const KeySecurityFacts& facts, KeyReaders readers);

// "it is owned by ...": why, as status and the installer's log say it.
std::wstring keyDistrustText(KeyDistrust distrust);
