#include "lighting_library/HardwareCommunicatorKestrineTA1.h"

#include "lighting_library/FirmwareChannel.h"

#include <stdexcept>
#include <utility>
#include <vector>

namespace KestrineLightingLib {

namespace {

// CommandType of the firmware call, one per kind of block.
constexpr std::int32_t zoneColorsCommandType = 3;
constexpr std::int32_t brightnessCommandType = 5;

// The brightness block always starts with this byte; it is not a command value.
constexpr std::uint8_t brightnessBlockLead = 3;
constexpr std::uint8_t maximumBrightness = 100;

// The zones written into a colour block, up to the write position.
std::vector<ZoneColorBytes> zonesIn(const CommandBlock& block, std::uint32_t end)
{
    std::vector<ZoneColorBytes> zones;
    for (std::uint32_t offset = 1; offset + 2 < end; offset += 3) {
        zones.push_back({block[offset], block[offset + 1], block[offset + 2]});
    }
    return zones;
}

} // namespace

bool HardwareCommunicatorKestrineTA1::sendLightData(std::shared_ptr<LightData> lightData)
{
    return sendLightDataReporting(std::move(lightData)).accepted;
}

bool HardwareCommunicatorKestrineTA1::setBrightness(std::uint8_t level)
{
    return setBrightnessReporting(level).accepted;
}

FirmwareResult HardwareCommunicatorKestrineTA1::sendLightDataReporting(std::shared_ptr<LightData> lightData)
{
    if (!lightData || lightData->pages.empty()) {
        return {};
    }

    CommandBlock block{};
    try {
        block[0] = toHardwareCommand(lightData->command);
    } catch (const std::invalid_argument&) {
        // An unknown command value is a refused request, not an error to report.
        return {};
    }

    std::uint32_t position = 1;
    for (const auto& page : lightData->pages) {
        if (page) {
            // Each page's colours are written into the block, one page after
            // the other; the sum is only where the next page starts.
            // cppcheck-suppress useStlAlgorithm
            position += writePageColors(block.data() + position, *page,
                                        static_cast<std::uint32_t>(commandBlockSize) - position);
        }
    }
    FirmwareResult result = sendToFirmware(zoneColorsCommandType, block);
    if (result.accepted || (result.failure && result.failure->executed)) {
        result.zonesGot = zonesIn(block, position);
    }
    return result;
}

std::uint8_t HardwareCommunicatorKestrineTA1::toHardwareCommand(std::int32_t command) const
{
    switch (command) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return 3;
    case 4:
        return 5;
    default:
        throw std::invalid_argument("An invalid command value was requested. See documentation for valid values.");
    }
}

FirmwareResult HardwareCommunicatorKestrineTA1::setBrightnessReporting(std::uint8_t level)
{
    CommandBlock block{};
    block[0] = brightnessBlockLead;
    block[commandBlockSize - 1] = level > maximumBrightness ? maximumBrightness : level;
    return sendToFirmware(brightnessCommandType, block);
}

std::uint32_t HardwareCommunicatorKestrineTA1::writePageColors(std::uint8_t* destination, const Page& page,
                                                               std::uint32_t room)
{
    std::uint32_t written = 0;
    for (const auto& zone : page.zones) {
        if (written + 2 >= room) {
            break;
        }
        if (!zone) {
            continue;
        }
        destination[written] = zone->red;
        destination[written + 1] = zone->green;
        destination[written + 2] = zone->blue;
        written += 3;
    }
    return written;
}

} // namespace KestrineLightingLib
