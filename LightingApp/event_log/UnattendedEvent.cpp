#include "event_log/UnattendedEvent.h"

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <utility>

namespace {

std::wstring requestName(RunPurpose purpose, const std::vector<std::wstring>& arguments)
{
    if (purpose == RunPurpose::Restore) {
        return L"Restoring the stored colours (run without arguments)";
    }
    std::wstring joined;
    for (const auto& argument : arguments) {
        joined += (joined.empty() ? L"" : L" ") + argument;
    }
    return L"The request \"" + joined + L"\"";
}

// Event Viewer shows line breaks written as CRLF.
std::wstring withCrLf(const std::wstring& text)
{
    std::wstring converted;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            converted += L'\r';
        }
        converted += c;
    }
    return converted;
}

// An HRESULT as Windows documents it: 0x and eight upper-case digits.
std::wstring hresultText(std::int64_t code)
{
    std::wostringstream text;
    text << L"0x" << std::hex << std::uppercase << std::setw(8) << std::setfill(L'0')
         << static_cast<std::uint32_t>(code);
    return text.str();
}

// The strings after the request, in the order of the kind's message.
std::vector<std::wstring> details(const RunFailure& failure, const std::wstring& shown)
{
    switch (failure.kind) {
    case FailureKind::Unsupported:
    case FailureKind::PolicyUnusable:
        return {failure.detail};
    case FailureKind::FirmwareCall:
        return {failure.detail, hresultText(failure.code), shown};
    case FailureKind::FirmwareRefused:
        return {std::to_wstring(failure.code), shown};
    case FailureKind::NotStored:
        return {shown};
    case FailureKind::Unexpected:
    case FailureKind::PlatformCheck:
        break;
    }
    return {failure.detail, shown};
}

} // namespace

std::vector<UnattendedEvent> unattendedEvents(RunPurpose purpose, const std::vector<RunFailure>& failures,
                                              const std::vector<std::wstring>& arguments,
                                              const std::wstring& consoleText)
{
    std::vector<UnattendedEvent> events;
    if (purpose == RunPurpose::Other) {
        return events;
    }
    const std::wstring shown = withCrLf(consoleText);
    for (const auto& failure : failures) {
        const bool restoreOnly =
            failure.kind == FailureKind::Unsupported || failure.kind == FailureKind::PolicyUnusable;
        if (restoreOnly && purpose != RunPurpose::Restore) {
            continue;
        }
        UnattendedEvent event{failure.kind, {requestName(purpose, arguments)}};
        for (auto& text : details(failure, shown)) {
            event.strings.push_back(std::move(text));
        }
        events.push_back(std::move(event));
    }
    return events;
}
