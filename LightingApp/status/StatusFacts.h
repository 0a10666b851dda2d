#pragma once

#include "colorizers/Color.h"
#include "colorizers/ZoneColors.h"
#include "event_log/EventSourceRegistration.h"
#include "location_check/ProgramLocation.h"
#include "policy/ColourPolicy.h"
#include "run_record/LastRun.h"
#include "settings/RestorePlan.h"
#include "settings/StoredSet.h"
#include "status/StoredSetSummary.h"
#include "task_scheduler/StartupTaskState.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything "status" reports: what was read, then what it means
// (decideStatus), so that the lines and the JSON only word the same
// decisions and cannot disagree.

// What the model supports.
enum class ModelSupport { NotSupported, Brightness, Colour, Unknown };

// Whether a thing the program registers (the event source, the startup task)
// is there.
enum class Presence { NotRegistered, Registered, CouldNotBeRead };

// One of the eight values of a colours key, and what a run that reads the key
// makes of it.
struct ValueFacts {
    enum class State { Stored, Missing, Unreadable };
    State state = State::Missing;
    ValueFate fate = ValueFate::DefaultWritten;
    // Stored: the number as the run uses it (held to its range).
    std::optional<std::uint8_t> used;
    // Not stored: the number that takes its place, when known.
    std::optional<std::uint8_t> replacement;
};

struct KeyFacts {
    StoredRoot root = StoredRoot::Machine;
    SetState state = SetState::None;
    std::array<ValueFacts, storedValueCount> values{};
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

struct ModelFacts {
    // The model WMI reports; nothing when it could not be read.
    std::optional<std::wstring> model;
    // Why it could not be read: the Platform check's error chain.
    std::wstring error;
    // The generation code (platform_check/ModelGeneration.h).
    int generation = 0;
};

// What a run without arguments would do now.
struct RunFacts {
    enum class Outcome { Sends, ModelNotSupported, ModelUnknown };
    // Decided: Sends only with a whole plan and the bytes of both zones.
    Outcome outcome = Outcome::ModelUnknown;
    // Sends: the keys it reads and stores to, and the vector it applies.
    RestorePlan plan;
    // Sends: the colours are the policy's (plan.values), and nothing is
    // read or stored.
    bool fromPolicy = false;
    // Sends: the zones' three bytes each, as the firmware gets them.
    std::vector<Color> sent;
};

// A run's record as status shows it.
struct RecordFacts {
    LastRun record;
    // The account's name where Windows gives it ("LocalSystem" for
    // S-1-5-18); empty otherwise.
    std::wstring accountName;
};

struct StatusFacts {
    std::wstring version;
    ModelFacts model;
    // The model's default colours; empty without a supported model.
    ZoneValues modelDefaults;
    // The colours keys as this account reads them.
    StoredSet machineKey;
    StoredSet userKey;
    // A run without arguments by this account, and by the startup task
    // (LocalSystem: the machine key, which it may write, and its own user
    // key).
    RunFacts thisAccount;
    RunFacts startupTask;
    // Why LocalSystem's own key could not be read (a Win32 error), zero when
    // it could: the startup task's run was then worked out as if it held no
    // colours.
    std::int32_t localSystemKeyReadError = 0;
    EventSourceState eventSource;
    StartupTaskState task;
    // The policy key's values as read; the decision on them is made before
    // the runs are previewed, by the same function a run uses.
    PolicyValues policyValues;
    ColourPolicy policy;
    // The record of the last run in each key, when one is there.
    std::optional<RecordFacts> machineLastRun;
    std::optional<RecordFacts> userLastRun;
    // Why each record's key is not trusted (a registry link; for the
    // machine's, an owner or access list that lets others change it): its
    // record is then not shown. Empty when it is trusted or there is none.
    std::wstring machineRecordDistrust;
    std::wstring userRecordDistrust;
    // The location check of the program the task runs, when it was read.
    std::optional<ProgramLocation> taskProgramLocation;
    // The task's last run in UTC, when it was read and converted.
    std::optional<TaskTime> taskLastRunUtc;

    // Decided from the above (decideStatus).
    ModelSupport support = ModelSupport::Unknown;
    KeyFacts machine;
    KeyFacts user{StoredRoot::User};
    // The HRESULT of LocalSystem's key error when it matters (the machine
    // key lacks a value, so the startup task's run would read that key);
    // zero otherwise.
    std::int32_t localSystemKeyError = 0;
    Presence eventSourcePresence = Presence::CouldNotBeRead;
    // CouldNotBeRead: the HRESULT of the failed read.
    std::int32_t eventSourceError = 0;
    Presence taskPresence = Presence::CouldNotBeRead;
    std::optional<LocationVerdict> taskLocation;
    // Why the task under the name is not the program's; empty when nothing
    // read says so.
    std::wstring taskNotTheProgram;
    std::vector<Problem> problems;
};
