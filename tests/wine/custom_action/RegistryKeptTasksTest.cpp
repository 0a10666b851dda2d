#include "RegistryKeptTasks.h"

#include "settings/RegistryKey.h"
#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const wchar_t* const storeKey = L"SOFTWARE\\Orvane\\VeltrinLightingSetup";
const std::wstring product = L"{11111111-2222-3333-4444-555555555555}";

// Makes the store's key, with a value for the product, and gives it the
// descriptor sddl.
void plantKey(const wchar_t* sddl)
{
    RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, storeKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE | WRITE_DAC | WRITE_OWNER | KEY_WOW64_64KEY, nullptr, key.receive(),
                              nullptr),
              ERROR_SUCCESS);
    const std::wstring planted = L"<Task>planted</Task>";
    ASSERT_EQ(RegSetValueExW(key.get(), product.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(planted.c_str()),
                             static_cast<DWORD>((planted.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR raw = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr));
    const LocalPointer<void> descriptor(raw);
    ASSERT_EQ(RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, raw),
              ERROR_SUCCESS);
}

bool keyExists()
{
    RegistryKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, storeKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive())
        == ERROR_SUCCESS;
}

} // namespace

// The store trusts a key only as only administrators and LocalSystem can
// make it: each of keep, find and forget fails on any other, and leaves what
// it holds alone.
TEST(RegistryKeptTasks, TrustsOnlyAKeyOfAdministratorsAndLocalSystem)
{
    struct Case {
        const char* name;
        const wchar_t* sddl;
        bool trusted;
    };
    const Case cases[] = {
        {"as the store makes it", L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)", true},
        {"owned by LocalSystem, Administrators only", L"O:SYD:P(A;;KA;;;BA)", true},
        {"owned by Users", L"O:BUD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)", false},
        {"an entry for Users", L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;;KR;;;BU)", false},
        {"an entry for Everyone, denying", L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(D;;KA;;;WD)", false},
        {"entries inherited from above", L"O:BAD:(A;CI;KA;;;SY)(A;CI;KA;;;BA)", false},
    };
    RegistryKeptTasks store;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, storeKey, KEY_WOW64_64KEY, 0);
        plantKey(c.sddl);

        std::optional<KeptTask> kept;
        EXPECT_EQ(store.find(product, kept), c.trusted);
        EXPECT_EQ(kept.has_value() && kept->xml == L"<Task>planted</Task>", c.trusted);
        EXPECT_EQ(store.keep(product, KeptTask{L"<Task>new</Task>"}), c.trusted);
        EXPECT_EQ(store.forget(product), c.trusted);
        // forget takes the key with its last value; an untrusted one stays.
        EXPECT_EQ(keyExists(), !c.trusted);
    }
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, storeKey, KEY_WOW64_64KEY, 0);
}

// Without a key, the store makes one it trusts itself, and keeps both a task
// and the absence of one.
TEST(RegistryKeptTasks, MakesAKeyItTrusts)
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, storeKey, KEY_WOW64_64KEY, 0);
    RegistryKeptTasks store;
    std::optional<KeptTask> kept;
    ASSERT_TRUE(store.find(product, kept));
    EXPECT_FALSE(kept.has_value());
    ASSERT_TRUE(store.keep(product, KeptTask{L"<Task>kept</Task>"}));
    ASSERT_TRUE(store.keep(L"{other}", KeptTask{}));
    ASSERT_TRUE(store.find(product, kept));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->xml, L"<Task>kept</Task>");
    ASSERT_TRUE(store.find(L"{other}", kept));
    ASSERT_TRUE(kept.has_value());
    EXPECT_FALSE(kept->xml.has_value());
    EXPECT_TRUE(store.forget(product));
    EXPECT_TRUE(store.forget(L"{other}"));
    EXPECT_FALSE(keyExists());
}
