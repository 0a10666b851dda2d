#pragma once

#include "lighting_library/FirmwareFailure.h"
#include "lighting_library/LightData.h"

#include <cstdint>
#include <memory>

namespace KestrineLightingLib {

// Turns lighting requests into firmware commands for one lighting controller.
class HardwareCommunicator {
public:
    virtual ~HardwareCommunicator() = default;

    // Sends the zone colours of the light data. True when the firmware accepted them.
    virtual bool sendLightData(std::shared_ptr<LightData> lightData) = 0;

    // The command byte the firmware takes for a command value; throws
    // std::invalid_argument for a value the controller does not know.
    virtual std::uint8_t toHardwareCommand(std::int32_t command) const = 0;

    // Sends a brightness level. True when the firmware accepted it.
    virtual bool setBrightness(std::uint8_t level) = 0;

    // The same two operations, answered with what became of them: whether the
    // firmware accepted the command, why not, and the zone bytes it got.
    // sendLightData and setBrightness are these, reduced to accepted or not.
    virtual FirmwareResult sendLightDataReporting(std::shared_ptr<LightData> lightData) = 0;
    virtual FirmwareResult setBrightnessReporting(std::uint8_t level) = 0;

protected:
    HardwareCommunicator() = default;
    HardwareCommunicator(const HardwareCommunicator&) = default;
    HardwareCommunicator& operator=(const HardwareCommunicator&) = default;
};

} // namespace KestrineLightingLib
