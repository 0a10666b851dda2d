#pragma once

#include "GoldenOutput.h"
#include "status/StatusFacts.h"

#include <functional>
#include <vector>

// The whole of both forms of "status" for facts given by hand, compared with
// one expected output: the healthy machine's lines and JSON (statusBase) with
// the changes that a case makes.

StoredSet dwordSet(std::vector<std::uint32_t> numbers, bool writable);

// A healthy machine of the given generation: both the event source and the
// task registered, the task enabled and its program accepted, the machine key
// complete and writable.
StatusFacts machineOf(int generation);

// What the gathering does with the keys before deciding: both runs previewed
// with the generation's colorizer (LocalSystem may write the machine key, its
// own key is empty).
void previewRuns(StatusFacts& facts);

// The lines, then the JSON members, of facts as they are.
Entries statusEntries(const StatusFacts& facts);

struct GoldenCase {
    const char* name;
    std::function<void(StatusFacts&)> arrange;
    std::vector<Change> changes;
};

// Each case on the healthy second-generation machine: arranged, previewed,
// decided, then both forms compared whole with the healthy machine's output
// changed by the case's changes.
void expectWholeOutputs(const std::vector<GoldenCase>& cases);
