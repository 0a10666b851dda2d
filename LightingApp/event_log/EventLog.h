#pragma once

#include "run_record/RunFailure.h"

#include <string>
#include <vector>

// Events in the Windows Application log, for runs nobody watches (the startup
// task). The source is "VeltrinLighting"; its registration (done by the
// installer) names the program as the file that holds the message texts.

// Writes the event of that kind of failure (a Warning for an unsupported
// model and an unusable policy, an Error for every other kind) with its insertion strings, the
// message table's %1, %2, ... in order. The event carries the user account of
// the process, so that Event Viewer tells the startup task (SYSTEM) from a
// user's run. Every failure is ignored: an unregistered source still logs
// (Event Viewer then says it lacks the description), and a log that cannot be
// written changes nothing else. A string longer than the event log takes
// (31,839 characters) is cut to that length.
void writeEvent(FailureKind kind, const std::vector<std::wstring>& strings) noexcept;
