#include "status/StatusText.h"

#include "platform_check/ModelGeneration.h"
#include "platform_check/WmiErrorText.h"
#include "windows_wrappers/Utf8.h"

namespace {

std::wstring zoneText(const ZoneValues& values, std::size_t first)
{
    return std::to_wstring(values[first]) + L" " + std::to_wstring(values[first + 1]) + L" "
        + std::to_wstring(values[first + 2]) + L" at " + std::to_wstring(values[first + 3]) + L" %";
}

} // namespace

std::wstring modelLine(const std::wstring& model, int generation)
{
    const wchar_t* support = L"not supported";
    if (generation == firstGeneration) {
        support = L"first generation: brightness only";
    } else if (generation == secondGeneration) {
        support = L"second generation: colour";
    }
    return L"Model: " + model + L" (" + support + L")";
}

std::wstring modelUnknownLine(const std::wstring& cause)
{
    return L"Model: unknown (Platform check failed: " + cause + L")";
}

std::wstring storedColorsLine(const std::wstring& keyName, const std::optional<ZoneValues>& values)
{
    std::wstring line = L"Stored colours in the " + keyName + L" key: ";
    if (!values || values->size() != zoneValueCount) {
        return line + L"none";
    }
    return line + L"logo " + zoneText(*values, 0) + L", light bar " + zoneText(*values, 4);
}

std::wstring startupTaskLine(const StartupTaskState& task)
{
    using Registration = StartupTaskState::Registration;
    switch (task.registration) {
    case Registration::NotRegistered:
        return L"Startup task: not registered";
    case Registration::Registered:
        if (task.program.empty()) {
            return L"Startup task: registered (the program it runs could not be read)";
        }
        return L"Startup task: registered, runs " + task.program;
    case Registration::Unknown:
        break;
    }
    return L"Startup task: unknown (the Task Scheduler answered 0x" + widenAscii(hexCode(task.error)) + L")";
}
