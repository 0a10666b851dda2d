#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the user asked for on the command line.
enum class RequestKind : std::int32_t {
    Invalid = 0,
    Restore = 1,
    Default = 2,
    Help = 3,
    Brightness = 4,
    Colors = 5,
    // --create-xml FILE: the parser has already tried to write the startup
    // task file; the dispatch only reports the outcome.
    CreateTaskFile = 6,
    // status, status --json: what is set, reported without changing anything.
    Status = 7,
};

// The parsed command line.
struct Request {
    RequestKind kind = RequestKind::Invalid;
    // Brightness: zone 1 and zone 2 brightness. Colors: the zone colour vector
    // (red, green, blue, brightness of zone 1, then of zone 2).
    std::vector<std::uint8_t> values;
    // The program's file name as invoked, without its directory; the usage
    // text shows it in its examples.
    std::wstring programName;
    // CreateTaskFile only: the file name as given, and whether it was written.
    std::wstring taskFile;
    bool taskFileWritten = false;
    // CreateTaskFile only: the line that says why the file was not written,
    // when it was refused for this copy of the program; empty otherwise.
    std::wstring taskFileReason;
    // Status only: "status --json", the report as one JSON object.
    bool statusAsJson = false;
};
