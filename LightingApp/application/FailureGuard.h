#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs the request so that nothing ends the program unreported: whatever
// escapes it (an allocation failure, an error of a library) ends the run with
// "Request Failed" on the console instead of terminating the process.
// Returns what escaped, in words for the event log (the error's own message
// where it has one); nothing when the request ran through.
std::optional<std::wstring> runReportingEscapes(const std::function<void()>& request);
