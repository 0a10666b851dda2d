#pragma once

#include "task_scheduler/StartupTaskState.h"

// The name under which the startup task is registered.
inline constexpr const wchar_t* startupTaskName = L"OrvaneVRVeltrinLightingUtilityStartup";

// Asks the Task Scheduler whether the startup task is registered and which
// program its first action runs. Enters and leaves a COM apartment of its own.
StartupTaskState queryStartupTask();
