#pragma once

#include "colorizers/Color.h"
#include "colorizers/ZoneColors.h"
#include "event_log/EventSourceRegistration.h"
#include "location_check/ProgramLocation.h"
#include "settings/RestorePlan.h"
#include "settings/StoredSet.h"
#include "task_scheduler/StartupTaskState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything "status" reports, gathered first and then worded as lines or as
// one JSON object, so that both say the same.

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
    Outcome outcome = Outcome::ModelUnknown;
    // Sends: the keys it reads and stores to, and the vector it applies.
    RestorePlan plan;
    // Sends: the zones' three bytes each, as the firmware gets them.
    std::vector<Color> sent;
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
    // Non-zero when LocalSystem's own key could not be read (a Win32 error):
    // the startup task's run was worked out as if it held no colours.
    std::int32_t localSystemKeyError = 0;
    EventSourceState eventSource;
    StartupTaskState task;
    // The location check of the program the task runs, when it was read.
    std::optional<ProgramLocation> taskProgramLocation;
};
