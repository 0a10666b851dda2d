#pragma once

#include "task_scheduler/StartupTaskState.h"

// Asks the Task Scheduler whether the startup task is registered and which
// program its first action runs. Enters and leaves a COM apartment of its own.
StartupTaskState queryStartupTask();
