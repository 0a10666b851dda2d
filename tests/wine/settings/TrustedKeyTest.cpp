#include "RegistryLinks.h"
#include "settings/TrustedKey.h"

#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t* const testKey = L"SOFTWARE\\Orvane\\TrustedKeyTest";
const wchar_t* const targetKey = L"SOFTWARE\\Orvane\\TrustedKeyTarget";
const wchar_t* const recordSddl = L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KR;;;WD)";

KeyDistrust distrustOfSddl(const wchar_t* sddl, KeyReaders readers)
{
    PSECURITY_DESCRIPTOR raw = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr));
    const LocalPointer<void> descriptor(raw);
    return keyDistrust(keySecurityFacts(raw), readers);
}

std::wstring sddlOf(HKEY key)
{
    PSECURITY_DESCRIPTOR raw = nullptr;
    DWORD size = 0;
    RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, &size);
    std::string buffer(size, '\0');
    raw = buffer.data();
    if (RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, raw, &size) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(
        raw, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text, nullptr);
    const LocalPointer<wchar_t> owned(text);
    return text == nullptr ? std::wstring() : std::wstring(text);
}

// A key LocalSystem trusts: owned by LocalSystem or Administrators, its list
// protected and explicit; others named only to read it (for the run record)
// or not at all (for the installer's kept tasks). Real descriptors, read as
// the program reads them; each right's part is in KeyTrustTest.
TEST(TrustedKey, TrustsOnlyWhatOnlyAdministratorsCanHaveMade)
{
    struct Case {
        const char* name;
        const wchar_t* sddl;
        KeyDistrust anyone;
        KeyDistrust trustedOnly;
    };
    const Case cases[] = {
        {"the record key as made", recordSddl, KeyDistrust::None, KeyDistrust::OtherAccount},
        {"the kept tasks' key as made", L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)", KeyDistrust::None, KeyDistrust::None},
        {"owned by LocalSystem", L"O:SYD:P(A;;KA;;;BA)", KeyDistrust::None, KeyDistrust::None},
        {"owned by Users", L"O:BUD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)", KeyDistrust::Owner, KeyDistrust::Owner},
        {"owned by a user", L"O:S-1-5-21-1-2-3-1001D:P(A;;KA;;;SY)", KeyDistrust::Owner, KeyDistrust::Owner},
        {"no access list", L"O:BA", KeyDistrust::NoAccessList, KeyDistrust::NoAccessList},
        {"entries from above", L"O:BAD:(A;CI;KA;;;SY)(A;CI;KA;;;BA)", KeyDistrust::NotProtected,
         KeyDistrust::NotProtected},
        {"an inherited entry", L"O:BAD:P(A;ID;KA;;;SY)", KeyDistrust::InheritedEntry, KeyDistrust::InheritedEntry},
        {"Users have full control", L"O:BAD:P(A;;KA;;;SY)(A;CI;KA;;;BU)", KeyDistrust::OthersMayChange,
         KeyDistrust::OtherAccount},
        {"Users have generic write", L"O:BAD:P(A;;KA;;;SY)(A;;GW;;;BU)", KeyDistrust::OthersMayChange,
         KeyDistrust::OtherAccount},
        {"Users read, generically", L"O:BAD:P(A;;KA;;;SY)(A;;GR;;;BU)", KeyDistrust::None, KeyDistrust::OtherAccount},
        {"Users read and are denied writing", L"O:BAD:P(D;;KW;;;BU)(A;;KA;;;SY)(A;;KR;;;BU)", KeyDistrust::None,
         KeyDistrust::OtherAccount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(distrustOfSddl(c.sddl, KeyReaders::Anyone), c.anyone);
        EXPECT_EQ(distrustOfSddl(c.sddl, KeyReaders::TrustedOnly), c.trustedOnly);
    }
    EXPECT_EQ(keyDistrust(keySecurityFacts(nullptr), KeyReaders::Anyone), KeyDistrust::Owner);
}

// A new key gets the descriptor asked for; an existing one keeps its own;
// a link is opened as itself, told apart, and its target left alone.
TEST(TrustedKey, CreatesWithItsDescriptorAndNeverFollowsALink)
{
    deleteKeyItself(testKey);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, targetKey, KEY_WOW64_64KEY, 0);
    {
        RegistryKey key;
        ASSERT_EQ(createKeyItself(HKEY_LOCAL_MACHINE, testKey, recordSddl, KEY_SET_VALUE, key), ERROR_SUCCESS);
        EXPECT_EQ(sddlOf(key.get()), recordSddl);
        EXPECT_FALSE(isRegistryLink(key.get()));
        EXPECT_EQ(keyDistrustOf(key.get(), KeyReaders::Anyone), KeyDistrust::None);
    }
    {
        RegistryKey again;
        ASSERT_EQ(createKeyItself(HKEY_LOCAL_MACHINE, testKey, L"O:BAD:P(A;;KA;;;BU)", KEY_SET_VALUE, again),
                  ERROR_SUCCESS);
        EXPECT_EQ(sddlOf(again.get()), recordSddl) << "an existing key keeps its descriptor";
    }
    deleteKeyItself(testKey);

    RegistryKey target;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, targetKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                              target.receive(), nullptr),
              ERROR_SUCCESS);
    plantLink(testKey, targetKey);
    {
        RegistryKey link;
        ASSERT_EQ(createKeyItself(HKEY_LOCAL_MACHINE, testKey, recordSddl, KEY_SET_VALUE, link), ERROR_SUCCESS);
        EXPECT_TRUE(isRegistryLink(link.get()));
        EXPECT_EQ(keyDistrustOf(link.get(), KeyReaders::Anyone), KeyDistrust::Link);
        RegistryKey opened;
        ASSERT_EQ(openKeyItself(HKEY_LOCAL_MACHINE, testKey, 0, opened), ERROR_SUCCESS);
        EXPECT_EQ(keyDistrustOf(opened.get(), KeyReaders::TrustedOnly), KeyDistrust::Link);
    }
    EXPECT_FALSE(isRegistryLink(target.get()));
    EXPECT_NE(sddlOf(target.get()), recordSddl) << "the link's target was not secured as the key";
    deleteKeyItself(testKey);
    target.reset();
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, targetKey, KEY_WOW64_64KEY, 0);
}

} // namespace
