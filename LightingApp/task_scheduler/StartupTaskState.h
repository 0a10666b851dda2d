#pragma once

#include "windows_wrappers/CalendarTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The name under which the startup task is registered, in the root folder.
inline constexpr const wchar_t* startupTaskName = L"OrvaneVRVeltrinLightingUtilityStartup";

// One trigger of a registered task.
struct TaskTrigger {
    // The Task Scheduler's trigger type (TASK_TRIGGER_TYPE2: 0 an event,
    // 8 at boot, 9 at log on, ...).
    std::int32_t type = 0;
    bool enabled = true;
    // An event trigger's query; nothing for other triggers, or when it could
    // not be read.
    std::optional<std::wstring> subscription;
};

// A local time as the Task Scheduler gives it.
using TaskTime = CalendarTime;

// What the Task Scheduler says about the startup task. For a registered
// task, each fact is empty (nullopt) when it could not be read; Wine, for
// one, keeps no command, triggers or account of a registered task.
struct StartupTaskState {
    enum class Registration { NotRegistered, Registered, Unknown };
    Registration registration = Registration::Unknown;
    // Unknown: the status of the refused or failed question.
    std::int32_t error = 0;

    std::optional<bool> enabled;
    // The account it runs as, as registered (a name or a SID), and how it
    // logs on (TASK_LOGON_TYPE: 5 a service account, 3 the user's own
    // session, ...).
    std::optional<std::wstring> userId;
    std::optional<std::int32_t> logonType;
    // The SID Windows resolved userId to, when it could.
    std::optional<std::wstring> userSid;
    std::optional<std::vector<TaskTrigger>> triggers;
    // How many actions it runs, and whether the first runs a program.
    std::optional<std::int32_t> actionCount;
    std::optional<bool> firstActionRunsProgram;
    // The program of its first action, and that action's arguments.
    std::optional<std::wstring> program;
    std::optional<std::wstring> arguments;
    // The last run's start; nothing in lastRun with lastRunRead when it has
    // never run.
    bool lastRunRead = false;
    std::optional<TaskTime> lastRun;
};
