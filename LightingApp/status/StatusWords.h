#pragma once

#include "task_scheduler/StartupTaskState.h"

#include <cstdint>
#include <string>

// Names that both forms of "status" use: the lines in words, the JSON as
// identifiers.

// Why a question was refused or failed: "access denied (0x80070005)", or
// the status alone ("0x80041315") for one without a name here. A Win32
// error goes in as its HRESULT (see fromWin32).
std::wstring failureText(std::int32_t status);
std::int32_t fromWin32(std::int32_t error);

// A trigger type (TASK_TRIGGER_TYPE2): {"at boot", "boot"}, {"on an event",
// "event"}, ...; {"of type N", "type N"} for one without a name here.
std::wstring triggerText(std::int32_t type);
std::string triggerIdentifier(std::int32_t type);

// A logon type (TASK_LOGON_TYPE): {"service account", "serviceAccount"}, ...
std::wstring logonText(std::int32_t type);
std::string logonIdentifier(std::int32_t type);

// A UTF-16 code unit as \u and four lower-case hexadecimal digits.
std::string unitEscape(std::uint32_t unit);

// "2024-05-01 10:00:00", with separator between the date and the time.
std::wstring taskTimeText(const TaskTime& time, wchar_t separator);
