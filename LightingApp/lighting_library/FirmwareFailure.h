#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// The lighting interfaces only say whether the firmware accepted a command;
// the channel notes here why it did not, and the run takes the note when an
// answer came back false. A process carries out one run, so one note serves.
void noteFirmwareFailure(const FirmwareFailure& failure);

// The failure noted last since the previous take, if any; it is forgotten.
std::optional<FirmwareFailure> takeFirmwareFailure();

} // namespace KestrineLightingLib
