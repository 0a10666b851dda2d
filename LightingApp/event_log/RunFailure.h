#pragma once

#include <cstdint>
#include <string>

// What went wrong in a run, as far as the event log cares: each kind is an
// event of its own in the message table (EventMessages.mc).
enum class FailureKind {
    Unexpected,      // something escaped the run: an allocation failure, a library's error
    Unsupported,     // the machine is not one of the supported models
    PlatformCheck,   // the machine's model could not be read through WMI
    FirmwareCall,    // a step of the firmware's BIOS WMI call failed
    FirmwareRefused, // the firmware answered the command with a non-zero return code
    NotStored,       // the colours could not be written to the registry
};

struct RunFailure {
    FailureKind kind;
    // The failing step (of the platform check or the firmware call), the
    // model found, or what escaped; empty for the colours not stored.
    std::wstring detail;
    // The failing firmware step's HRESULT, or the firmware's return code.
    std::int64_t code = 0;
};
