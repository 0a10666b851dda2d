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
    PolicyUnusable,  // the policy key holds values that cannot be used; the run went on without it
};

struct RunFailure {
    FailureKind kind;
    // The failing step (of the platform check or the firmware call), the
    // model found, or what escaped; empty for the colours not stored.
    std::wstring detail;
    // The failing firmware step's HRESULT, or the firmware's return code.
    std::int64_t code = 0;
};

// The event ID (the low 16 bits of the message's id) of each kind's event, as
// Event Viewer shows it and the record of the last run keeps it. A number,
// once given, keeps its meaning.
constexpr std::uint32_t eventIdOf(FailureKind kind)
{
    switch (kind) {
    case FailureKind::Unexpected:
        return 1;
    case FailureKind::Unsupported:
        return 2;
    case FailureKind::PlatformCheck:
        return 3;
    case FailureKind::FirmwareCall:
        return 4;
    case FailureKind::FirmwareRefused:
        return 5;
    case FailureKind::NotStored:
        return 6;
    case FailureKind::PolicyUnusable:
        return 7;
    }
    return 1;
}
