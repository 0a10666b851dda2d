#include "settings/KeyTrust.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

KeyAccessEntry allowOther(std::uint32_t mask)
{
    return {KeyAccessEntry::Kind::Allowed, false, false, mask};
}

// Another account may be named only to read the key, and only where the key
// admits readers; each right that changes something makes it untrusted.
TEST(KeyTrust, OtherAccountsMayOnlyRead)
{
    struct Case {
        const char* name;
        std::uint32_t mask;
        KeyDistrust anyone;
    };
    const Case cases[] = {
        {"KEY_READ", 0x00020019U, KeyDistrust::None},
        {"query value alone", 0x00000001U, KeyDistrust::None},
        {"GENERIC_READ and SYNCHRONIZE", 0x80100000U, KeyDistrust::None},
        {"KEY_SET_VALUE", 0x00000002U, KeyDistrust::OthersMayChange},
        {"KEY_CREATE_SUB_KEY", 0x00000004U, KeyDistrust::OthersMayChange},
        {"KEY_CREATE_LINK", 0x00000020U, KeyDistrust::OthersMayChange},
        {"DELETE", 0x00010000U, KeyDistrust::OthersMayChange},
        {"WRITE_DAC", 0x00040000U, KeyDistrust::OthersMayChange},
        {"WRITE_OWNER", 0x00080000U, KeyDistrust::OthersMayChange},
        {"GENERIC_WRITE", 0x40000000U, KeyDistrust::OthersMayChange},
        {"GENERIC_ALL", 0x10000000U, KeyDistrust::OthersMayChange},
        {"MAXIMUM_ALLOWED", 0x02000000U, KeyDistrust::OthersMayChange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const KeySecurityFacts facts{true, true, true, {{KeyAccessEntry::Kind::Allowed, false, true, 0xF003FU},
                                                        allowOther(c.mask)}};
        EXPECT_EQ(keyDistrust(facts, KeyReaders::Anyone), c.anyone);
        EXPECT_EQ(keyDistrust(facts, KeyReaders::TrustedOnly), KeyDistrust::OtherAccount);
        // Denying another account any right takes nothing from the trust.
        const KeySecurityFacts denied{true, true, true, {{KeyAccessEntry::Kind::Denied, false, false, c.mask}}};
        EXPECT_EQ(keyDistrust(denied, KeyReaders::Anyone), KeyDistrust::None);
    }
}

// The first fault found is the one named: owner, list, protection, entries.
TEST(KeyTrust, NamesTheFirstFault)
{
    struct Case {
        const char* name;
        KeySecurityFacts facts;
        KeyDistrust distrust;
    };
    const KeyAccessEntry inherited{KeyAccessEntry::Kind::Allowed, true, true, 0xF003FU};
    const KeyAccessEntry other{KeyAccessEntry::Kind::Other, false, true, 0};
    const Case cases[] = {
        {"trusted, no entries", {true, true, true, {}}, KeyDistrust::None},
        {"owner first", {false, false, false, {inherited}}, KeyDistrust::Owner},
        {"then the list", {true, false, false, {inherited}}, KeyDistrust::NoAccessList},
        {"then its protection", {true, true, false, {inherited}}, KeyDistrust::NotProtected},
        {"an inherited entry", {true, true, true, {inherited}}, KeyDistrust::InheritedEntry},
        {"an entry of another kind", {true, true, true, {other}}, KeyDistrust::UnknownEntry},
        {"a changing entry after a reading one", {true, true, true, {allowOther(0x20019U), allowOther(0x2U)}},
         KeyDistrust::OthersMayChange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keyDistrust(c.facts, KeyReaders::Anyone), c.distrust);
    }
    for (const KeyDistrust distrust :
         {KeyDistrust::Link, KeyDistrust::Owner, KeyDistrust::NoAccessList, KeyDistrust::NotProtected,
          KeyDistrust::InheritedEntry, KeyDistrust::UnknownEntry, KeyDistrust::OtherAccount,
          KeyDistrust::OthersMayChange, KeyDistrust::Unreadable}) {
        EXPECT_FALSE(keyDistrustText(distrust).empty());
    }
    EXPECT_TRUE(keyDistrustText(KeyDistrust::None).empty());
}

} // namespace
