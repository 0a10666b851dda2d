#pragma once

#include "status/StatusFacts.h"

#include <string>

// "status --json": the same facts as the lines, as one JSON object on one
// line, plain ASCII (README, "status --json", names every member).
std::string statusJson(const StatusFacts& facts);
