#pragma once

// A recording stand-in for the firmware channel, for tests that run without
// Windows. Link the target veltrin_fake_firmware; it supplies sendToFirmware.

#include "lighting_library/FirmwareChannel.h"

#include <cstdint>
#include <vector>

namespace fake_firmware {

struct Call {
    std::int32_t commandType;
    KestrineLightingLib::CommandBlock block;
};

// Forgets the recorded calls and sets the answers of the next calls, in order;
// calls beyond the list are accepted.
void reset(std::vector<bool> answers = {});

// Every call since the last reset, in order.
const std::vector<Call>& calls();

} // namespace fake_firmware
