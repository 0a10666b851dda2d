#pragma once

// The machine's generation code (see ModelGeneration.h), read through WMI.
// Throws std::runtime_error, with the failing step nested, when the model
// cannot be read.
int detectGeneration();
