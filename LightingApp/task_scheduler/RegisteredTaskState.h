#pragma once

#include "task_scheduler/StartupTaskState.h"

#include <windows.h>

#include <taskschd.h>

// What a registered task says of itself: whether it is enabled and its last
// run, and from its definition the account it runs as, its triggers and the
// program of its first action. Each fact that cannot be read stays empty.
// The caller holds a COM apartment.
StartupTaskState stateOfRegisteredTask(IRegisteredTask& task);
