#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Whether the event source "VeltrinLighting" is registered, so that Event
// Viewer can show the texts of the program's events: the key
// HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\VeltrinLighting
// and its EventMessageFile.
struct EventSourceState {
    enum class Registration { NotRegistered, Registered, Unknown };
    Registration registration = Registration::Unknown;
    // Registered: the message file as stored (environment variables not
    // expanded); nothing when the key has no such text value.
    std::optional<std::wstring> messageFile;
    // Unknown: the Win32 error of the refused or failed read.
    std::int32_t error = 0;
};

// Reads the registration; creates and changes nothing.
EventSourceState queryEventSource();
