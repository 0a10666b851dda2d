#include "event_log/EventLog.h"

#include "EventMessages.h"

#include <windows.h>

#include <algorithm>
#include <array>
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

} // namespace

void writeEvent(EventKind kind, const std::wstring& text) noexcept
{
    try {
        const EventSource source;
        if (source.get() == nullptr) {
            return;
        }
        const bool isError = kind == EventKind::Error;
        const WORD type = isError ? EVENTLOG_ERROR_TYPE : EVENTLOG_WARNING_TYPE;
        const DWORD id = isError ? MSG_LIGHTING_ERROR : MSG_LIGHTING_WARNING;
        const std::wstring shown = text.substr(0, std::min(text.size(), maxTextLength));
        std::array<const wchar_t*, 1> strings{shown.c_str()};
        ReportEventW(source.get(), type, 0, id, nullptr, static_cast<WORD>(strings.size()), 0, strings.data(), nullptr);
    } catch (const std::bad_alloc&) {
        // Without memory for the text there is no event; the run goes on.
    }
}
