#include "RegistryKeptTasks.h"

#include "settings/RegistryKey.h"
#include "windows_wrappers/LocalPointer.h"

#include <windows.h>

#include <sddl.h>

namespace {

constexpr const wchar_t* keyPath = L"SOFTWARE\\Orvane\\VeltrinLighting\\Installer";
// Full control for LocalSystem and Administrators, passed on to subkeys,
// nothing inherited from above.
constexpr const wchar_t* keySecurity = L"D:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)";

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
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, &attributes, key.receive(), nullptr)
        != ERROR_SUCCESS) {
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
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive());
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    DWORD size = 0;
    if (status == ERROR_SUCCESS) {
        status = RegGetValueW(key.get(), nullptr, product.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
    }
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

void RegistryKeptTasks::forget(const std::wstring& product)
{
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive())
        != ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueW(key.get(), product.c_str());
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr)
            == ERROR_SUCCESS
        && subkeys == 0 && values == 0) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, KEY_WOW64_64KEY, 0);
    }
}
