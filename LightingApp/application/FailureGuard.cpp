#include "application/FailureGuard.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"

#include <exception>

namespace {

// The error's message; a byte outside ASCII (a message in the system's code
// page) shows as "?".
std::wstring describe(const std::exception_ptr& escaped)
{
    try {
        std::rethrow_exception(escaped);
    } catch (const std::exception& error) {
        std::wstring text;
        for (const char* c = error.what(); *c != '\0'; ++c) {
            const auto byte = static_cast<unsigned char>(*c);
            text += byte < 0x80 ? static_cast<wchar_t>(byte) : L'?';
        }
        return text;
    } catch (...) {
        return L"an exception that is not a std::exception";
    }
}

} // namespace

std::optional<std::wstring> runReportingEscapes(const std::function<void()>& request)
{
    try {
        request();
        return std::nullopt;
    } catch (...) {
        // Not even the report may end the run otherwise.
        std::wstring escaped;
        try {
            escaped = describe(std::current_exception());
        } catch (...) {
        }
        try {
            console() << Messages::requestFailed << std::endl;
        } catch (...) {
        }
        return escaped;
    }
}
