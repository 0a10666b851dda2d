#pragma once

#include "application/Request.h"

#include <string>
#include <vector>

// What --create-xml says about its file: "Startup task file written: FILE"
// when it was written; otherwise the failure line, followed by reason (why
// this copy of the program was refused) when there is one. The installer
// package logs the same lines.
std::vector<std::wstring> taskFileReportLines(const std::wstring& file, bool written, const std::wstring& reason);

// Those lines on the console, for the request. True when the file was
// written; the caller adds "Request Failed" otherwise.
bool reportTaskFile(const Request& request);
