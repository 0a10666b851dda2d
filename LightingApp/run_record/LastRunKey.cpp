#include "run_record/LastRunKey.h"

#include "settings/RegistryKey.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring recordPath(const std::wstring& prefix)
{
    return prefix + L"SOFTWARE\\Orvane\\VeltrinLighting\\" + std::wstring(lastRunSubkey);
}

} // namespace

void writeLastRun(HKEY root, const LastRun& record) noexcept
{
    try {
        const std::vector<RecordValue> values = encodeLastRun(record);
        const std::wstring path = recordPath(L"");
        // The old record goes first, so that no value of it (an event ID, a
        // code) outlives it beside the new one.
        RegDeleteKeyExW(root, path.c_str(), KEY_WOW64_64KEY, 0);
        RegistryKey key;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | KEY_WOW64_64KEY,
                            nullptr, key.receive(), nullptr)
            != ERROR_SUCCESS) {
            return;
        }
        for (const RecordValue& value : values) {
            RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        }
    } catch (...) {
    }
}

std::optional<LastRun> readLastRun(HKEY root, const std::wstring& prefix)
{
    RegistryKey key;
    if (RegOpenKeyExW(root, recordPath(prefix).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive())
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<RecordValue> values;
    for (DWORD index = 0;; ++index) {
        // The record's names and values are short; a longer one is not the
        // program's and is passed over.
        std::array<wchar_t, 64> name{};
        auto nameLength = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE;
        std::vector<std::uint8_t> data(512);
        auto size = static_cast<DWORD>(data.size());
        const LSTATUS status =
            RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            continue;
        }
        data.resize(size);
        values.push_back({std::wstring(name.data(), nameLength), type, std::move(data)});
    }
    return decodeLastRun(values);
}
