#include "RegistryKeptTasks.h"

#include "settings/RegistryKey.h"
#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLightingSetup";
// Owned by Administrators; full control for LocalSystem and Administrators,
// passed on to subkeys, nothing inherited from above.
constexpr const wchar_t* keySecurity = L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)";

bool isTrustedAccount(PSID sid)
{
    return sid != nullptr && IsValidSid(sid)
        && (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid));
}

// Whether the key is as keySecurity made it, or as strict: owned by
// LocalSystem or Administrators, with a protected access list whose every
// entry is an explicit one of those two.
bool isTrustedKey(HKEY key)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (GetSecurityInfo(key, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &raw)
        != ERROR_SUCCESS) {
        return false;
    }
    const LocalPointer<void> descriptor(raw);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!isTrustedAccount(owner) || dacl == nullptr || !GetSecurityDescriptorControl(raw, &control, &revision)
        || (control & SE_DACL_PROTECTED) == 0) {
        return false;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) {
            return false;
        }
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if ((header->AceFlags & INHERITED_ACE) != 0
            || (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)) {
            return false;
        }
        // Allowed and denied entries lay out their SID alike.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if (!isTrustedAccount(reinterpret_cast<PSID>(&allowed->SidStart))) {
            return false;
        }
    }
    return true;
}

// Opens the key with access (and READ_CONTROL, for its check); false when it
// exists and could not be opened or is not trusted. key stays empty when
// the key does not exist.
bool openTrusted(REGSAM access, RegistryKey& key)
{
    const LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, access | READ_CONTROL | KEY_WOW64_64KEY, key.receive());
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    return status == ERROR_SUCCESS && isTrustedKey(key.get());
}

} // namespace

bool RegistryKeptTasks::keep(const std::wstring& product, const KeptTask& task)
{
    LocalPointer<void> descriptor;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(keySecurity, SDDL_REVISION_1, &raw, nullptr)) {
        return false;
    }
    descriptor.reset(raw);
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    RegistryKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | READ_CONTROL | WRITE_DAC | WRITE_OWNER | KEY_WOW64_64KEY, &attributes,
                        key.receive(), &disposition)
        != ERROR_SUCCESS) {
        return false;
    }
    // A new key gets its descriptor set once more, as Wine ignores the one
    // given to RegCreateKeyExW. An existing key keeps its own, whoever made
    // it, and is only checked: putting it right would trust what it holds.
    if (disposition == REG_CREATED_NEW_KEY
        && RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor.get())
            != ERROR_SUCCESS) {
        return false;
    }
    if (!isTrustedKey(key.get())) {
        return false;
    }
    const std::wstring data = task.xml.value_or(std::wstring());
    const auto size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), product.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size)
        == ERROR_SUCCESS;
}

bool RegistryKeptTasks::find(const std::wstring& product, std::optional<KeptTask>& kept)
{
    kept.reset();
    RegistryKey key;
    if (!openTrusted(KEY_QUERY_VALUE, key)) {
        return false;
    }
    if (key.get() == nullptr) {
        return true;
    }
    DWORD size = 0;
    LSTATUS status = RegGetValueW(key.get(), nullptr, product.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (status != ERROR_SUCCESS
        || RegGetValueW(key.get(), nullptr, product.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &size)
            != ERROR_SUCCESS) {
        return false;
    }
    // The size counts the terminating null.
    data.resize(size / sizeof(wchar_t) - 1);
    kept.emplace();
    if (!data.empty()) {
        kept->xml = data;
    }
    return true;
}

bool RegistryKeptTasks::forget(const std::wstring& product)
{
    RegistryKey key;
    if (!openTrusted(KEY_SET_VALUE | KEY_QUERY_VALUE, key)) {
        return false;
    }
    if (key.get() == nullptr) {
        return true;
    }
    const LSTATUS deleted = RegDeleteValueW(key.get(), product.c_str());
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr)
            == ERROR_SUCCESS
        && subkeys == 0 && values == 0) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, KEY_WOW64_64KEY, 0);
    }
    return true;
}
