#pragma once

#include "lighting_library/FirmwareFailure.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace KestrineLightingLib {

// Every firmware command carries exactly this many data bytes.
inline constexpr std::size_t commandBlockSize = 128;
using CommandBlock = std::array<std::uint8_t, commandBlockSize>;

// Sends one command block to the firmware's BIOS WMI method with the given
// CommandType, bringing COM up and down around the call. Returns whether the
// firmware accepted the command and, when it did not, why (no zone bytes: the
// channel does not read the block).
//
// The Windows build links the WMI implementation; native unit tests link a
// recording fake in its place, so that everything above this call is tested
// without Windows.
FirmwareResult sendToFirmware(std::int32_t commandType, const CommandBlock& block);

} // namespace KestrineLightingLib
