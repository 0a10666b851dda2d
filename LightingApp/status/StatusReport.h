#pragma once

#include "colorizers/IColorizer.h"

#include <memory>

// The colorizer of a generation code, or none for an unsupported one: the
// program's own choice, handed down so that "status" computes with the same
// defaults and the same command bytes as a run.
using ColorizerForGeneration = std::unique_ptr<IColorizer> (*)(int generation);

enum class StatusFormat { Lines, Json };

// "status": the version, the machine's model and what it supports, the
// colours stored in the machine key and in the user's key, what a run
// without arguments by this account and by the startup task would apply,
// whether the event source is registered, and the startup task as the Task
// Scheduler has it. Sends nothing to the firmware and creates or writes
// nothing in the registry; works on any machine.
void printStatus(StatusFormat format, ColorizerForGeneration colorizerFor);
