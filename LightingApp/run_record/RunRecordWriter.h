#pragma once

#include "run_record/RunRecord.h"
#include "settings/RegistryController.h"

// Writes the record of a run, with the time (UTC) and the process's account,
// to the colours key the run stores to. Nothing else changes, whatever
// happens.
void writeRunRecord(const RegistryController& registry, RunRequest request, const RunNote& note,
                    const std::vector<RunFailure>& failures) noexcept;
