#pragma once

#include "status/StatusFacts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the facts read for "status" mean, decided once: both forms of the
// report word these and decide nothing of their own.

enum class ModelSupport { NotSupported, Brightness, Colour, Unknown };

// Whether a thing the program registers (the event source, the startup task)
// is there.
enum class Presence { NotRegistered, Registered, CouldNotBeRead };

enum class SetState {
    // All eight values are REG_DWORDs.
    Complete,
    // Some exist, not all of them as readable REG_DWORDs.
    Incomplete,
    // None of the eight exists (or the key does not).
    None,
};

// One of the eight values of a colours key, and what a run that reads the key
// makes of it.
struct ValueSummary {
    enum class State { Stored, Missing, Unreadable };
    State state = State::Missing;
    ValueFate fate = ValueFate::DefaultWritten;
    // Stored: the number as the run uses it (held to its range).
    std::optional<std::uint8_t> used;
    // Not stored: the number that takes its place, when known.
    std::optional<std::uint8_t> replacement;
};

struct KeySummary {
    SetState state = SetState::None;
    std::array<ValueSummary, storedValueCount> values{};
};

// The location check of the program the task runs.
struct LocationVerdict {
    bool passes = false;
    // The line --create-xml would show; empty when it passes.
    std::wstring reason;
};

// What needs an administrator; none when the machine is as it should be.
enum class Problem {
    TaskNotRegistered,
    TaskDisabled,
    TaskProgramRefused,
    TaskNotTheProgram,
    EventSourceNotRegistered,
    ModelNotSupported,
    ModelUnknown,
    PolicyUnusable,
    MachineKeyIncomplete,
    LastRunFailed,
    RecordUntrusted,
};

struct StatusDecisions {
    ModelSupport support = ModelSupport::Unknown;
    KeySummary machine;
    KeySummary user;
    // The HRESULT of LocalSystem's key error when it matters (the machine
    // key lacks a value, so the startup task's run would read that key);
    // zero otherwise.
    std::int32_t localSystemKeyError = 0;
    Presence eventSource = Presence::CouldNotBeRead;
    // CouldNotBeRead: the HRESULT of the failed read.
    std::int32_t eventSourceError = 0;
    Presence task = Presence::CouldNotBeRead;
    std::optional<LocationVerdict> taskLocation;
    // Why the task under the name is not the program's; empty when nothing
    // read says so.
    std::wstring taskNotTheProgram;
    std::vector<Problem> problems;
};

StatusDecisions decide(const StatusFacts& facts);

// The task's program (unquoted) when the location check may be asked about
// it; none for a path the check cannot stand for (a '%', not one absolute
// path), which fails it with a reason of its own and is never looked up.
std::optional<std::wstring> checkableProgram(const StartupTaskState& task);
