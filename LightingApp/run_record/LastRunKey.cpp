#include "run_record/LastRunKey.h"

#include "settings/RegistryKey.h"
#include "settings/TrustedKey.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

// A record holds a dozen values; a key with many more is not the program's,
// and the bound keeps a key that changes meanwhile from holding a loop.
constexpr DWORD maximumRecordValues = 64;

const std::wstring& path()
{
    static const std::wstring text(recordKeyPath);
    return text;
}

// The machine's record key is checked whole; a user's own is refused only
// when it is a link.
KeyDistrust distrustOf(bool machine, HKEY key)
{
    if (machine) {
        return keyDistrustOf(key, KeyReaders::Anyone);
    }
    return isRegistryLink(key) ? KeyDistrust::Link : KeyDistrust::None;
}

// The key's values; nothing when they could not all be read (the key deleted
// meanwhile answers ERROR_KEY_DELETED for every index) or there are more
// than a record holds. The record's names and values are short: a longer one
// is not the program's and is passed over.
std::optional<std::vector<RecordValue>> recordValues(HKEY key)
{
    std::vector<RecordValue> values;
    for (DWORD index = 0; index < maximumRecordValues; ++index) {
        std::array<wchar_t, 64> name{};
        auto nameLength = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE;
        std::vector<std::uint8_t> data(512);
        auto size = static_cast<DWORD>(data.size());
        const LSTATUS status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status == ERROR_NO_MORE_ITEMS) {
            return values;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(size);
        values.push_back({std::wstring(name.data(), nameLength), type, std::move(data)});
    }
    return std::nullopt;
}

} // namespace

void writeLastRun(HKEY root, const LastRun& record) noexcept
{
    try {
        const std::vector<RecordValue> values = encodeLastRun(record);
        RegistryKey key;
        const wchar_t* security = root == HKEY_LOCAL_MACHINE ? recordKeySecurity : nullptr;
        if (createKeyItself(root, path().c_str(), security, KEY_SET_VALUE, key) != ERROR_SUCCESS
            || distrustOf(root == HKEY_LOCAL_MACHINE, key.get()) != KeyDistrust::None) {
            return;
        }
        for (const RecordValue& value : values) {
            RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        }
        // No value of an earlier record (an event ID, a code) outlives it
        // beside the new one.
        const std::optional<std::vector<RecordValue>> found = recordValues(key.get());
        for (const RecordValue& old : found.value_or(std::vector<RecordValue>())) {
            const bool kept = std::any_of(values.begin(), values.end(),
                                          [&](const RecordValue& value) { return value.name == old.name; });
            if (!kept) {
                RegDeleteValueW(key.get(), old.name.c_str());
            }
        }
    } catch (...) {
    }
}

StoredRecord readLastRun(HKEY root)
{
    StoredRecord stored;
    RegistryKey key;
    if (openKeyItself(root, path().c_str(), 0, key) != ERROR_SUCCESS) {
        return stored;
    }
    stored.distrust = distrustOf(root == HKEY_LOCAL_MACHINE, key.get());
    if (stored.distrust != KeyDistrust::None) {
        return stored;
    }
    if (const std::optional<std::vector<RecordValue>> values = recordValues(key.get())) {
        stored.record = decodeLastRun(*values);
    }
    return stored;
}
