#pragma once

#include <string>

// The usage text as the program writes it to a file or pipe (UTF-8, CRLF),
// for the program name given in UTF-8.
std::string expectedUsage(const std::string& programName);
