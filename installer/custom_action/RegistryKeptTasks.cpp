#include "RegistryKeptTasks.h"

#include "settings/RegistryKey.h"
#include "settings/TrustedKey.h"

#include <windows.h>

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLightingSetup";
// Owned by Administrators; full control for LocalSystem and Administrators,
// passed on to subkeys, nothing inherited from above.
constexpr const wchar_t* keySecurity = L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)";

// Whether the key, opened as itself, is as keySecurity made it, or as
// strict: owned by LocalSystem or Administrators, with a protected access
// list whose every entry is an explicit one of those two; not a link.
bool isTrustedKey(HKEY key)
{
    return keyDistrustOf(key, KeyReaders::TrustedOnly) == KeyDistrust::None;
}

// Opens the key itself with access (and READ_CONTROL, for its check); false
// when it exists and could not be opened or is not trusted. key stays empty
// when the key does not exist.
bool openTrusted(REGSAM access, RegistryKey& key)
{
    const LSTATUS status = openKeyItself(HKEY_LOCAL_MACHINE, keyPath, access, key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    return status == ERROR_SUCCESS && isTrustedKey(key.get());
}

} // namespace

bool RegistryKeptTasks::keep(const std::wstring& product, const KeptTask& task)
{
    RegistryKey key;
    if (createKeyItself(HKEY_LOCAL_MACHINE, keyPath, keySecurity, KEY_SET_VALUE, key) != ERROR_SUCCESS
        || !isTrustedKey(key.get())) {
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
