#include "application/FailureGuard.h"

#include "application/Messages.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/Utf8.h"

#include <exception>

namespace {

// The error's message, widened as every message the program builds.
std::wstring describe(const std::exception_ptr& escaped)
{
    try {
        std::rethrow_exception(escaped);
    } catch (const std::exception& error) {
        return widenAscii(error.what());
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
