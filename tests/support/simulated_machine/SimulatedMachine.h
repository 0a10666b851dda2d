#pragma once

// Test support for the simulated machine: configuring it for a test case and
// reading the firmware calls it recorded.
#include "RecordedCall.h"
#include "SimulatedMachineCase.h"
