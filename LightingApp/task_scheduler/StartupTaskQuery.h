#pragma once

#include "task_scheduler/StartupTaskState.h"

// Asks the Task Scheduler whether the startup task is registered and, when it
// is, whether it is enabled, the account it runs as, its triggers, the
// program of its first action and its last run. Reads only. Enters and leaves
// a COM apartment of its own.
StartupTaskState queryStartupTask();
