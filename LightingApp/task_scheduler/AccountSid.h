#pragma once

#include <optional>
#include <string>

// The SID, as a string ("S-1-5-18"), of an account the Task Scheduler names
// by its name in the language of Windows or by its SID; nothing when Windows
// cannot resolve it.
std::optional<std::wstring> accountSid(const std::wstring& account);
