#pragma once

#include "event_log/EventLog.h"

#include <optional>
#include <string>
#include <vector>

// What a run was asked to do, as far as the event log cares.
enum class RunPurpose {
    Restore,        // a run without arguments: what the startup task runs
    ChangeLighting, // colours, brightness or the defaults
    Other,          // help, status, the task file, invalid arguments
};

// How a run ended, as far as the event log cares.
enum class RunOutcome {
    Done,                // carried out, or nothing to report
    Failed,              // ended in "Request Failed"
    PlatformCheckFailed, // the machine could not be identified
    Unsupported,         // not one of the supported models
};

struct UnattendedEvent {
    EventKind kind;
    std::wstring text;
};

// The event a run leaves in the Application log, if any: an error when a
// request that changes the lighting failed or the machine could not be
// identified, a warning when a restore (what the startup task runs) found an
// unsupported model. Nothing for success, help, invalid arguments, status or a
// task file: the startup task runs at every resume and must not fill the log.
// The text names the request by its arguments and carries the console's lines.
std::optional<UnattendedEvent> unattendedEvent(RunPurpose purpose, RunOutcome outcome,
                                               const std::vector<std::wstring>& arguments,
                                               const std::wstring& consoleText);
