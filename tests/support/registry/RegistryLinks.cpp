#include "RegistryLinks.h"

#include "settings/RegistryKey.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

void plantLink(const wchar_t* path, const wchar_t* target)
{
    RegistryKey link;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, link.receive(), nullptr),
              ERROR_SUCCESS);
    const std::wstring name = std::wstring(L"\\Registry\\Machine\\") + target;
    ASSERT_EQ(RegSetValueExW(link.get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.data()),
                             static_cast<DWORD>(name.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void deleteKeyItself(const wchar_t* path)
{
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, REG_OPTION_OPEN_LINK, DELETE | KEY_WOW64_64KEY, key.receive())
        == ERROR_SUCCESS) {
        RegDeleteKeyW(key.get(), L"");
    }
}
