#include "event_log/EventSourceRegistration.h"

#include <windows.h>

#include <vector>

namespace {

constexpr const wchar_t* sourceKey = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\VeltrinLighting";

// The key, read only, closed on every way out.
class SourceKey {
public:
    SourceKey() : opened(RegOpenKeyExW(HKEY_LOCAL_MACHINE, sourceKey, 0, KEY_QUERY_VALUE, &key)) {}
    ~SourceKey()
    {
        if (opened == ERROR_SUCCESS) {
            RegCloseKey(key);
        }
    }
    SourceKey(const SourceKey&) = delete;
    SourceKey& operator=(const SourceKey&) = delete;

    LSTATUS status() const { return opened; }
    HKEY get() const { return key; }

private:
    HKEY key = nullptr;
    LSTATUS opened;
};

} // namespace

EventSourceState queryEventSource()
{
    EventSourceState state;
    const SourceKey key;
    if (key.status() == ERROR_FILE_NOT_FOUND) {
        state.registration = EventSourceState::Registration::NotRegistered;
        return state;
    }
    if (key.status() != ERROR_SUCCESS) {
        state.error = static_cast<std::int32_t>(key.status());
        return state;
    }
    state.registration = EventSourceState::Registration::Registered;
    constexpr DWORD textTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(key.get(), nullptr, L"EventMessageFile", textTypes, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return state;
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(key.get(), nullptr, L"EventMessageFile", textTypes, nullptr, text.data(), &size)
        == ERROR_SUCCESS) {
        state.messageFile = std::wstring(text.data());
    }
    return state;
}
