#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Registers, reads and deletes the startup task (startupTaskName in the root
// folder) through the Task Scheduler 2.0 COM API. Each call enters a COM
// apartment of its own and returns S_OK or the status of the step that failed.

// Registers the task definition xml under the startup task's name as
// LocalSystem (a service account logon), replacing a task of that name.
HRESULT registerStartupTask(const std::wstring& xml);

// The definition of the registered startup task, or nothing when no task of
// that name is registered.
HRESULT readStartupTask(std::optional<std::wstring>& xml);

// Deletes the startup task; S_OK also when there was none.
HRESULT deleteStartupTask();
