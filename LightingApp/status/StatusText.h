#pragma once

#include "colorizers/ZoneColors.h"
#include "task_scheduler/StartupTaskState.h"

#include <optional>
#include <string>

// The lines of "status", one fact each, so that an administrator can read
// them and a script can look for them.

// "Model: <model> (<what it supports>)".
std::wstring modelLine(const std::wstring& model, int generation);
// "Model: unknown (Platform check failed: <cause>)".
std::wstring modelUnknownLine(const std::wstring& cause);

// "Stored colours in the <key> key: logo R G B at B %, light bar R G B at B %",
// or "...: none" when the key holds no complete set.
std::wstring storedColorsLine(const std::wstring& keyName, const std::optional<ZoneValues>& values);

// "Startup task: not registered", "Startup task: registered, runs <program>", ...
std::wstring startupTaskLine(const StartupTaskState& task);
