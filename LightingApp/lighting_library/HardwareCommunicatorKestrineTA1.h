#pragma once

#include "lighting_library/HardwareCommunicator.h"

#include <cstdint>
#include <memory>

namespace KestrineLightingLib {

// The TA1 controller's communicator. Every operation is one firmware call with
// a 128-byte block:
//   zone colours (CommandType 3): byte 0 = command byte, then red, green, blue
//     of each zone that fits, zeros after;
//   brightness (CommandType 5): byte 0 = 3, byte 127 = level (at most 100),
//     zeros between.
class HardwareCommunicatorKestrineTA1 : public HardwareCommunicator {
public:
    bool sendLightData(std::shared_ptr<LightData> lightData) override;
    std::uint8_t toHardwareCommand(std::int32_t command) const override;
    bool setBrightness(std::uint8_t level) override;
    FirmwareResult sendLightDataReporting(std::shared_ptr<LightData> lightData) override;
    FirmwareResult setBrightnessReporting(std::uint8_t level) override;

private:
    // Writes the page's zones at destination, as long as a zone's three bytes
    // fit in room; the first zone that does not fit ends the page. Returns the
    // number of bytes written.
    static std::uint32_t writePageColors(std::uint8_t* destination, const Page& page, std::uint32_t room);
};

} // namespace KestrineLightingLib
