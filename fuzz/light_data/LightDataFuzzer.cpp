// Fuzzes the zone-colour command block with light data of any shape (any
// number of pages and zones, null entries, any command value) against the
// recording firmware fake. AddressSanitizer catches any write outside the
// 128-byte block; the checks below compare every byte with what the zones
// say.

#include "LightDataShape.h"

#include "fake_firmware/FakeFirmware.h"
#include "lighting_library/HardwareCommunicatorKestrineTA1.h"

#include "support/Require.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using KestrineLightingLib::commandBlockSize;
using KestrineLightingLib::HardwareCommunicatorKestrineTA1;
using KestrineLightingLib::LightData;

namespace {

constexpr std::int32_t zoneColorsCommandType = 3;
// Zones whose three bytes fit after the command byte, with the last byte kept free.
constexpr std::size_t zonesThatFit = (commandBlockSize - 2) / 3;

// The controller's command byte for each valid command value.
std::optional<std::uint8_t> commandByteOf(std::int32_t command)
{
    switch (command) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 4: return 5;
    default: return std::nullopt;
    }
}

// Red, green and blue of every zone there is, pages and zones in order.
std::vector<std::uint8_t> zoneBytesInOrder(const LightData& lightData)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& page : lightData.pages) {
        if (!page) {
            continue;
        }
        for (const auto& zone : page->zones) {
            if (zone) {
                bytes.insert(bytes.end(), {zone->red, zone->green, zone->blue});
            }
        }
    }
    return bytes;
}

void checkBlock(const KestrineLightingLib::CommandBlock& block, std::uint8_t commandByte,
                const std::vector<std::uint8_t>& zoneBytes)
{
    FUZZ_REQUIRE(block[0] == commandByte, "byte 0 is the command byte");
    const std::size_t used = std::min(zoneBytes.size(), zonesThatFit * 3);
    for (std::size_t i = 0; i < used; ++i) {
        FUZZ_REQUIRE(block[1 + i] == zoneBytes[i], "the zones' colours in order");
    }
    for (std::size_t i = 1 + used; i < commandBlockSize; ++i) {
        FUZZ_REQUIRE(block[i] == 0, "zeros after the last zone that fits");
    }
    FUZZ_REQUIRE(block[commandBlockSize - 1] == 0, "the last byte of a colour block stays 0");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const LightDataShape shape = lightDataShapeOf(data, size);
    fake_firmware::reset(shape.firmwareRefuses ? std::vector<bool>{false} : std::vector<bool>{});

    HardwareCommunicatorKestrineTA1 communicator;
    const bool accepted = communicator.sendLightData(shape.lightData);
    const auto& calls = fake_firmware::calls();

    const std::optional<std::uint8_t> commandByte =
        shape.lightData ? commandByteOf(shape.lightData->command) : std::nullopt;
    if (!shape.lightData || shape.lightData->pages.empty() || !commandByte) {
        FUZZ_REQUIRE(!accepted, "nothing to send is refused");
        FUZZ_REQUIRE(calls.empty(), "nothing to send makes no firmware call");
        return 0;
    }
    FUZZ_REQUIRE(calls.size() == 1, "one firmware call");
    FUZZ_REQUIRE(calls[0].commandType == zoneColorsCommandType, "sent as zone colours");
    FUZZ_REQUIRE(accepted == !shape.firmwareRefuses, "the firmware's answer is returned");
    checkBlock(calls[0].block, *commandByte, zoneBytesInOrder(*shape.lightData));
    return 0;
}
