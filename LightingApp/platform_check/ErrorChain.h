#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

// A WMI step that failed: its message, and the status the step returned, so
// that a run can tell an interface still starting from a refusal.
class WmiStepError : public std::runtime_error {
public:
    WmiStepError(const std::string& message, std::int32_t status) : std::runtime_error(message), stepStatus(status) {}
    std::int32_t status() const { return stepStatus; }

private:
    std::int32_t stepStatus;
};

// The status of the WMI step the error was raised from, looked for through
// every error it was raised from; nothing when no WMI step failed.
std::optional<std::int32_t> wmiStatusOf(const std::exception& error);

// The error's message followed by the message of every error it was raised
// from (nested with std::throw_with_nested), innermost last, joined by ": ".
std::string errorChainText(const std::exception& error);
