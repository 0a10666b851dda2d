#include "application/UnattendedEvent.h"

namespace {

std::wstring requestName(RequestKind kind, const std::vector<std::wstring>& arguments)
{
    if (kind == RequestKind::Restore) {
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

std::optional<UnattendedEvent> unattendedEvent(RequestKind kind, RunOutcome outcome,
                                               const std::vector<std::wstring>& arguments,
                                               const std::wstring& consoleText)
{
    const std::wstring shown = L"\r\n\r\nThe program showed:\r\n" + withCrLf(consoleText);
    if (changesLighting(kind) && (outcome == RunOutcome::Failed || outcome == RunOutcome::PlatformCheckFailed)) {
        return UnattendedEvent{EventKind::Error, requestName(kind, arguments) + L" failed." + shown};
    }
    if (kind == RequestKind::Restore && outcome == RunOutcome::Unsupported) {
        return UnattendedEvent{EventKind::Warning,
                               requestName(kind, arguments) + L" found a machine that is not supported." + shown};
    }
    return std::nullopt;
}
