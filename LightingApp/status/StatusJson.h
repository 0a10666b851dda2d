#pragma once

#include "status/StatusFacts.h"

#include <string>

// "status --json": the same facts as the lines, as one JSON object on one
// line, plain ASCII (docs/status.md names every member).
std::string statusJson(const StatusFacts& facts);
