#include "policy/PolicyKey.h"

#include "settings/RegistryKey.h"
#include "settings/RegistryValue.h"

#include <string>

PolicyValues readPolicyValues(HKEY machineRoot)
{
    RegistryKey key;
    const std::wstring path(policyKeyPath);
    // Without the key (the usual case) every value reads as missing.
    if (RegOpenKeyExW(machineRoot, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive())
        != ERROR_SUCCESS) {
        return {};
    }
    PolicyValues values;
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        values.colours[i] = readStoredValue(key.get(), valueNames[i].data());
    }
    values.usersMayChange = readStoredValue(key.get(), std::wstring(usersMayChangeName).c_str());
    return values;
}
