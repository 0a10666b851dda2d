#pragma once

#include <string>

// The machine's "Model" as WMI reports it. Throws std::runtime_error, with the
// failing step nested, when it cannot be read.
std::wstring readMachineModel();

// The machine's generation code (see ModelGeneration.h), read through WMI.
// Throws std::runtime_error, with the failing step nested, when the model
// cannot be read.
int detectGeneration();
