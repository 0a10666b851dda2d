#include "event_log/EventLog.h"

#include "EventMessages.h"
#include "windows_wrappers/TokenInformation.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace {

constexpr const wchar_t* sourceName = L"VeltrinLighting";

// The longest string one event may carry; ReportEventW refuses longer ones.
constexpr std::size_t maxTextLength = 31839;

// The event source handle for the local machine's Application log, held for
// one event.
class EventSource {
public:
    EventSource() : handle(RegisterEventSourceW(nullptr, sourceName)) {}
    ~EventSource()
    {
        if (handle != nullptr) {
            DeregisterEventSource(handle);
        }
    }

    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};

DWORD messageId(FailureKind kind)
{
    switch (kind) {
    case FailureKind::Unsupported:
        return MSG_MODEL_NOT_SUPPORTED;
    case FailureKind::PlatformCheck:
        return MSG_PLATFORM_CHECK_FAILED;
    case FailureKind::FirmwareCall:
        return MSG_FIRMWARE_CALL_FAILED;
    case FailureKind::FirmwareRefused:
        return MSG_FIRMWARE_REFUSED;
    case FailureKind::NotStored:
        return MSG_COLORS_NOT_STORED;
    case FailureKind::PolicyUnusable:
        return MSG_POLICY_UNUSABLE;
    case FailureKind::Unexpected:
        break;
    }
    return MSG_UNEXPECTED_FAILURE;
}

// The IDs the record of the last run gives are the message table's.
static_assert((MSG_UNEXPECTED_FAILURE & 0xFFFFU) == eventIdOf(FailureKind::Unexpected));
static_assert((MSG_MODEL_NOT_SUPPORTED & 0xFFFFU) == eventIdOf(FailureKind::Unsupported));
static_assert((MSG_PLATFORM_CHECK_FAILED & 0xFFFFU) == eventIdOf(FailureKind::PlatformCheck));
static_assert((MSG_FIRMWARE_CALL_FAILED & 0xFFFFU) == eventIdOf(FailureKind::FirmwareCall));
static_assert((MSG_FIRMWARE_REFUSED & 0xFFFFU) == eventIdOf(FailureKind::FirmwareRefused));
static_assert((MSG_COLORS_NOT_STORED & 0xFFFFU) == eventIdOf(FailureKind::NotStored));
static_assert((MSG_POLICY_UNUSABLE & 0xFFFFU) == eventIdOf(FailureKind::PolicyUnusable));

bool isWarning(FailureKind kind)
{
    return kind == FailureKind::Unsupported || kind == FailureKind::PolicyUnusable;
}

} // namespace

void writeEvent(FailureKind kind, const std::vector<std::wstring>& strings) noexcept
{
    try {
        const EventSource source;
        if (source.get() == nullptr) {
            return;
        }
        const WORD type = isWarning(kind) ? EVENTLOG_WARNING_TYPE : EVENTLOG_ERROR_TYPE;
        std::vector<std::wstring> shown(strings.size());
        std::transform(strings.begin(), strings.end(), shown.begin(),
                       [](const std::wstring& text) { return text.substr(0, std::min(text.size(), maxTextLength)); });
        std::vector<const wchar_t*> pointers(shown.size());
        std::transform(shown.begin(), shown.end(), pointers.begin(),
                       [](const std::wstring& text) { return text.c_str(); });
        // Without the user the event still goes out; Event Viewer then shows "N/A".
        const std::vector<ULONG_PTR> user = processTokenInformation(TokenUser);
        const PSID sid = user.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
        ReportEventW(source.get(), type, 0, messageId(kind), sid, static_cast<WORD>(pointers.size()), 0,
                     pointers.data(), nullptr);
    } catch (const std::bad_alloc&) {
        // Without memory for the text there is no event; the run goes on.
    }
}
