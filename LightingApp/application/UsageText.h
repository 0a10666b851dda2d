#pragma once

#include "application/Request.h"

#include <ostream>
#include <string>

// Writes the usage text, with programName in its examples, one flushed line at
// a time.
void writeUsage(std::wostream& out, const std::wstring& programName);

// The usage text on standard output, for the program name of the request.
void printUsage(const Request& request);
