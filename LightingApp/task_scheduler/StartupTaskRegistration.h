#pragma once

#include "task_scheduler/TaskOwnership.h"

#include <windows.h>

#include <optional>
#include <string>

// Registers, reads and deletes the startup task (startupTaskName in the root
// folder) through the Task Scheduler 2.0 COM API. Each call enters a COM
// apartment of its own and returns S_OK or the status of the step that failed.

// Registers the task definition xml under the startup task's name as
// LocalSystem (a service account logon), ignoring its registration triggers.
// A task of that name is deleted first, so that nothing of it (definition,
// triggers, security descriptor) stays in the new registration.
HRESULT registerStartupTask(const std::wstring& xml);

// The definition and principal of the registered startup task, or nothing
// when no task of that name is registered.
HRESULT readStartupTask(std::optional<RegisteredTaskDefinition>& found);

// Deletes the startup task; S_OK also when there was none.
HRESULT deleteStartupTask();
