#pragma once

#include <functional>

// Runs the request so that nothing ends the program unreported: whatever
// escapes it (an allocation failure, an error of a library) ends the run with
// "Request Failed" on the console instead of terminating the process.
// Returns false when something escaped.
bool runReportingEscapes(const std::function<void()>& request);
