#pragma once

#include "status/JsonWriter.h"
#include "status/StatusFacts.h"

#include <optional>
#include <string>

// How "status" words the policy and the record of a key's last run, as a
// line and as JSON; both from the facts decided before.

// "Policy (HKLM\...): none", "... in force, logo R G B at B %, ...; users may
// change the lighting: no", or "... unusable: Z1_Bright is 150, beyond its
// range 0-100; runs go on as without it".
std::wstring policyLine(const ColourPolicy& policy);
// "Last run recorded in the machine key: none", or its time, account,
// request, source, the bytes the firmware got and the outcome.
std::wstring lastRunLine(StoredRoot root, const std::optional<RecordFacts>& run);

// The member "policy".
void writePolicy(JsonWriter& json, const ColourPolicy& policy);
// The member "lastRun" of a key's object: null when none is recorded.
void writeRecord(JsonWriter& json, const std::optional<RecordFacts>& run);
