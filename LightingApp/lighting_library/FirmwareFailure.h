#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace KestrineLightingLib {

// Why a firmware call failed: the WMI step that failed and its HRESULT, or,
// when the call went through, the return code with which the firmware
// refused the command.
struct FirmwareFailure {
    std::string step;                       // the call that failed, e.g. "ExecMethod orvBIOSInt0"; empty for a refusal
    std::int32_t status = 0;                // the HRESULT the call ended with
    std::optional<std::int64_t> returnCode; // the firmware's non-zero "rwReturnCode"
    // Whether the method call itself went through, so that the command reached
    // the firmware: a failure after it must not send the command again.
    bool executed = false;
};

// Red, green and blue of one zone as a colour command carried them.
struct ZoneColorBytes {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// What became of a lighting operation, handed back up to the run: whether the
// firmware accepted it and, when it did not, why. Not accepted and no failure:
// no command was built, so none was sent.
struct FirmwareResult {
    bool accepted = false;
    std::optional<FirmwareFailure> failure;
    // The zones of the colour command, in order, when the command reached the
    // firmware (accepted, or executed and then refused or unread); empty when
    // it did not, and for a brightness command.
    std::vector<ZoneColorBytes> zonesGot;

    // The result of a call that failed as failure says, or was accepted when
    // there is no failure.
    static FirmwareResult of(std::optional<FirmwareFailure> failure)
    {
        const bool accepted = !failure;
        return {accepted, std::move(failure), {}};
    }
};

} // namespace KestrineLightingLib
