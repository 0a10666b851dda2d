#pragma once

#include "colorizers/Color.h"
#include "colorizers/ZoneColors.h"
#include "event_log/EventSourceRegistration.h"
#include "location_check/ProgramLocation.h"
#include "policy/ColourPolicy.h"
#include "run_record/LastRun.h"
#include "settings/RestorePlan.h"
#include "settings/StoredSet.h"
#include "task_scheduler/StartupTaskState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything "status" reads, as read: what it means is decided from these
// alone (StatusDecisions.h), and the report words those decisions.

struct ModelFacts {
    // The model WMI reports; nothing when it could not be read.
    std::optional<std::wstring> model;
    // Why it could not be read: the Platform check's error chain.
    std::wstring error;
    // The generation code (platform_check/ModelGeneration.h).
    int generation = 0;
};

// What a run without arguments would do now, worked out by the run's own
// code (RunPreview.h).
struct RunFacts {
    enum class Outcome { Sends, ModelNotSupported, ModelUnknown };
    // Sends only with a whole plan and the bytes of both zones.
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
    // The policy as a run decides it (policy/ColourPolicy.h), before the runs
    // are previewed.
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
};
