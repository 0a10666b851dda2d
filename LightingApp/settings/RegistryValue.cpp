#include "settings/RegistryValue.h"

StoredValue readStoredValue(HKEY key, const wchar_t* name)
{
    StoredValue value;
    if (key == nullptr) {
        return value;
    }
    DWORD type = REG_NONE;
    DWORD size = sizeof(DWORD);
    DWORD data = 0;
    // A longer value fails with ERROR_MORE_DATA.
    const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return value;
    }
    value.answer = status == ERROR_SUCCESS ? StoredValue::Answer::Read : StoredValue::Answer::Unreadable;
    value.type = type;
    value.size = size;
    value.data = status == ERROR_SUCCESS ? data : 0;
    return value;
}
