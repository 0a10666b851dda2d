#pragma once

#include "application/Request.h"

#include <ostream>
#include <string>

// Writes the usage text, with programName in its examples, one flushed line at
// a time.
void writeUsage(std::wostream& out, const std::wstring& programName);

// The usage text on standard output, for the program name of the request.
void printUsage(const Request& request);

// The answer to arguments that fit no form: "Invalid arguments", the usage
// text and "Request Failed", whatever the machine.
void reportInvalidArguments(const Request& request);
