#include "status/StatusWords.h"

#include "platform_check/WmiErrorText.h"
#include "windows_wrappers/Utf8.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

struct TaskWords {
    const wchar_t* text;
    const char* identifier;
};

constexpr std::int32_t accessDenied = static_cast<std::int32_t>(0x80070005U);
constexpr std::int32_t schedulerNotRunning = static_cast<std::int32_t>(0x80041315U);
constexpr std::int32_t win32Facility = static_cast<std::int32_t>(0x80070000U);

// Indexed by TASK_TRIGGER_TYPE2; type 10 has no name.
constexpr std::array<TaskWords, 12> triggerWords = {{
    {L"on an event", "event"},
    {L"at a time", "time"},
    {L"daily", "daily"},
    {L"weekly", "weekly"},
    {L"monthly", "monthly"},
    {L"monthly on a day of the week", "monthlyDayOfWeek"},
    {L"when idle", "idle"},
    {L"when registered", "registration"},
    {L"at boot", "boot"},
    {L"at log on", "logon"},
    {nullptr, nullptr},
    {L"on a session state change", "sessionStateChange"},
}};

// Indexed by TASK_LOGON_TYPE.
constexpr std::array<TaskWords, 7> logonWords = {{
    {L"no logon", "none"},
    {L"password", "password"},
    {L"without a password (S4U)", "s4u"},
    {L"the user's own session", "interactiveToken"},
    {L"group", "group"},
    {L"service account", "serviceAccount"},
    {L"the user's own session or password", "interactiveTokenOrPassword"},
}};

template <std::size_t N>
const TaskWords* wordsFor(const std::array<TaskWords, N>& table, std::int32_t type)
{
    if (type < 0 || static_cast<std::size_t>(type) >= N || table[static_cast<std::size_t>(type)].text == nullptr) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(type)];
}

// The words for a type, or unnamed followed by its number.
template <std::size_t N>
std::wstring textFor(const std::array<TaskWords, N>& table, std::int32_t type, const wchar_t* unnamed)
{
    const TaskWords* words = wordsFor(table, type);
    return words != nullptr ? words->text : unnamed + std::to_wstring(type);
}

template <std::size_t N>
std::string identifierFor(const std::array<TaskWords, N>& table, std::int32_t type)
{
    const TaskWords* words = wordsFor(table, type);
    return words != nullptr ? words->identifier : "type " + std::to_string(type);
}

} // namespace

std::wstring failureText(std::int32_t status)
{
    std::wstring code = L"0x" + widenAscii(hexCode(status));
    if (status == accessDenied) {
        return L"access denied (" + code + L")";
    }
    if (status == schedulerNotRunning) {
        return L"the Task Scheduler service is not running (" + code + L")";
    }
    return code;
}

std::int32_t fromWin32(std::int32_t error)
{
    return error <= 0 ? error : (error & 0xFFFF) | win32Facility;
}

std::wstring triggerText(std::int32_t type)
{
    return textFor(triggerWords, type, L"of type ");
}

std::string triggerIdentifier(std::int32_t type)
{
    return identifierFor(triggerWords, type);
}

std::wstring logonText(std::int32_t type)
{
    return textFor(logonWords, type, L"logon type ");
}

std::string logonIdentifier(std::int32_t type)
{
    return identifierFor(logonWords, type);
}

std::string unitEscape(std::uint32_t unit)
{
    constexpr std::string_view digits = "0123456789abcdef";
    std::string escape = "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        escape += digits[(unit >> shift) & 0xF];
    }
    return escape;
}

std::wstring taskTimeText(const TaskTime& time, wchar_t separator)
{
    const auto padded = [](int value, std::size_t width) {
        std::wstring text = std::to_wstring(value);
        return text.size() < width ? std::wstring(width - text.size(), L'0') + text : text;
    };
    return padded(time.year, 4) + L"-" + padded(time.month, 2) + L"-" + padded(time.day, 2) + separator
        + padded(time.hour, 2) + L":" + padded(time.minute, 2) + L":" + padded(time.second, 2);
}
