#pragma once

#include "run_record/RunFailure.h"

#include <string>
#include <vector>

// What a run was asked to do, as far as the event log cares.
enum class RunPurpose {
    Restore,        // a run without arguments: what the startup task runs
    ChangeLighting, // colours, brightness or the defaults
    Other,          // help, status, the task file, invalid arguments
};

// One event: its kind (and so its ID) and its insertion strings.
struct UnattendedEvent {
    FailureKind kind;
    std::vector<std::wstring> strings;
};

// The events a run leaves in the Application log, one for each failure in the
// order they happened: for a request that changes the lighting or a restore,
// every failure but an unsupported model and an unusable policy, which only a
// restore (what the startup task runs) reports. Nothing for success, help, invalid arguments,
// status or a task file: the startup task runs at every resume and must not
// fill the log. The strings name the request by its arguments, say what
// failed, and, for an error, carry the console's lines.
std::vector<UnattendedEvent> unattendedEvents(RunPurpose purpose, const std::vector<RunFailure>& failures,
                                              const std::vector<std::wstring>& arguments,
                                              const std::wstring& consoleText);
