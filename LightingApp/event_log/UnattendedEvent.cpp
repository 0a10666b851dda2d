#include "event_log/UnattendedEvent.h"

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

} // namespace

std::optional<UnattendedEvent> unattendedEvent(RunPurpose purpose, RunOutcome outcome,
                                               const std::vector<std::wstring>& arguments,
                                               const std::wstring& consoleText)
{
    const std::wstring shown = L"\r\n\r\nThe program showed:\r\n" + withCrLf(consoleText);
    if (purpose != RunPurpose::Other && (outcome == RunOutcome::Failed || outcome == RunOutcome::PlatformCheckFailed)) {
        return UnattendedEvent{EventKind::Error, requestName(purpose, arguments) + L" failed." + shown};
    }
    if (purpose == RunPurpose::Restore && outcome == RunOutcome::Unsupported) {
        return UnattendedEvent{EventKind::Warning,
                               requestName(purpose, arguments) + L" found a machine that is not supported." + shown};
    }
    return std::nullopt;
}
