#pragma once

#include "status/StatusFacts.h"

#include <string>
#include <vector>

// Both forms of "status", written section by section: the lines, one fact
// each, for an administrator to read and a script to look for, and the same
// facts as one JSON object on one line, plain ASCII (docs/status.md names
// every line and member).
struct StatusOutput {
    std::vector<std::wstring> lines;
    std::string json;
};
StatusOutput statusOutput(const StatusFacts& facts);

// Text between double quotes, so that blanks and empty text show, escaped as
// the JSON writer does: a quote or backslash in the text as \" or \\, so that
// a name cannot end the quotes early, and control characters as \uXXXX.
std::wstring quoted(const std::wstring& text);
