#include "settings/KeyTrust.h"

KeyDistrust keyDistrust(const KeySecurityFacts& facts, KeyReaders readers)
{
    if (!facts.trustedOwner) {
        return KeyDistrust::Owner;
    }
    if (!facts.hasAccessList) {
        return KeyDistrust::NoAccessList;
    }
    if (!facts.protectedList) {
        return KeyDistrust::NotProtected;
    }
    for (const KeyAccessEntry& entry : facts.entries) {
        if (entry.inherited) {
            return KeyDistrust::InheritedEntry;
        }
        if (entry.kind == KeyAccessEntry::Kind::Other) {
            return KeyDistrust::UnknownEntry;
        }
        if (entry.trustedAccount) {
            continue;
        }
        if (readers == KeyReaders::TrustedOnly) {
            return KeyDistrust::OtherAccount;
        }
        if (entry.kind == KeyAccessEntry::Kind::Allowed && (entry.mask & ~keyReadRights) != 0) {
            return KeyDistrust::OthersMayChange;
        }
    }
    return KeyDistrust::None;
}

std::wstring keyDistrustText(KeyDistrust distrust)
{
    switch (distrust) {
    case KeyDistrust::None:
        return {};
    case KeyDistrust::Link:
        return L"it is a registry link";
    case KeyDistrust::Owner:
        return L"it is owned by an account other than LocalSystem and Administrators";
    case KeyDistrust::NoAccessList:
        return L"it has no access list, so everyone may change it";
    case KeyDistrust::NotProtected:
        return L"its access list takes entries from the key above it";
    case KeyDistrust::InheritedEntry:
        return L"its access list holds an inherited entry";
    case KeyDistrust::UnknownEntry:
        return L"its access list holds an entry that is neither allowed nor denied";
    case KeyDistrust::OtherAccount:
        return L"its access list names an account other than LocalSystem and Administrators";
    case KeyDistrust::OthersMayChange:
        return L"its access list lets an account other than LocalSystem and Administrators change it";
    case KeyDistrust::Unreadable:
        break;
    }
    return L"its owner and access list could not be read";
}
