#pragma once

#include "run_record/LastRun.h"
#include "run_record/RunFailure.h"

#include <cstdint>
#include <optional>
#include <vector>

// What a run notes on its way for the record of the last run.
struct RunNote {
    ColourSource source = ColourSource::ModelDefaults;
    // Set when a command reached the firmware (accepted or refused).
    std::optional<ZoneBytes> firmwareGot;
    bool refusedByPolicy = false;
    // A policy in force: the run stores nothing, and the record goes to the
    // machine key when this process may write it.
    bool underPolicy = false;
    // How many times the step that needed the most tries was tried, and the
    // time spent waiting between tries, in milliseconds.
    std::uint32_t tries = 1;
    std::uint32_t waitedMs = 0;
};

// The record of the run, without its time and account: the outcome is the
// first failure's (an unusable policy, which the run went past, aside), with
// the event ID it was logged under and its code.
LastRun recordOf(RunRequest request, const RunNote& note, const std::vector<RunFailure>& failures);
