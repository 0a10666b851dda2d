#pragma once

#include "status/StatusFacts.h"

#include <string>
#include <vector>

// The lines of "status", one fact each, so that an administrator can read
// them and a script can look for them (docs/status.md).
std::vector<std::wstring> statusLines(const StatusFacts& facts);

// Text between double quotes, so that blanks and empty text show, escaped as
// the JSON writer does: a quote or backslash in the text as \" or \\, so that
// a name cannot end the quotes early, and control characters as \uXXXX.
std::wstring quoted(const std::wstring& text);
