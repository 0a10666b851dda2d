#pragma once

// A recording stand-in for the firmware channel, for tests that run without
// Windows. Link the target veltrin_fake_firmware; it supplies sendToFirmware.

#include "lighting_library/FirmwareChannel.h"
#include "lighting_library/FirmwareFailure.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace fake_firmware {

struct Call {
    std::int32_t commandType;
    KestrineLightingLib::CommandBlock block;
};

// Forgets the recorded calls and sets the answers of the next calls, in order;
// calls beyond the list are accepted. A false answer is the firmware's
// refusal with return code 1 (refused()).
void reset(std::vector<bool> answers = {});

// The same with the failure each call answers with, in order; an empty one
// accepts the call.
void resetWithFailures(std::vector<std::optional<KestrineLightingLib::FirmwareFailure>> answers);

// The failure a false answer of reset() stands for.
KestrineLightingLib::FirmwareFailure refused();

// Every call since the last reset, in order.
const std::vector<Call>& calls();

} // namespace fake_firmware
