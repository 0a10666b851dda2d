#pragma once

#include "colorizers/ZoneColors.h"
#include "settings/StoredSet.h"

#include <array>

// What a run without arguments does with the stored colours: which key it
// reads, which one it completes with defaults first, where it stores what it
// applies, and the vector it applies. One decision for the run itself and for
// "status", which asks what a run would do without creating or writing
// anything.
enum class StoredRoot { None, Machine, User };

// Where an entry of the applied vector comes from.
enum class EntrySource {
    // The stored REG_DWORD, held to its range.
    Stored,
    // Missing, or too long to read: the run writes the stored default
    // (defaultStoredValue) in its place and applies that.
    DefaultWritten,
    // The model's default colour: no stored set is used, or the stored value
    // is short but no REG_DWORD (it is left as it is).
    ModelDefault,
};

struct RestorePlan {
    // None: no stored set is used; the model's defaults are applied.
    StoredRoot reads = StoredRoot::None;
    // The root whose missing values the run writes before it reads.
    StoredRoot completes = StoredRoot::None;
    // Where the run stores the vector it applied; None when neither root can
    // be written.
    StoredRoot stores = StoredRoot::None;
    ZoneValues values;
    std::array<EntrySource, storedValueCount> sources{};
};

// The decision. A root is used only when its set is complete (all eight
// values exist) and it may be written, or, read only, when all eight are
// REG_DWORDs: a user who may not write the machine key starts from the
// administrator's colours until they store their own. A root holding a
// REG_DWORD too long to read is never completed or written.
RestorePlan planRestore(const StoredSet& machine, const StoredSet& user, const ZoneValues& modelDefaults);

// Whether the run could write the root's missing values (see above).
bool canBeCompleted(const StoredSet& set);
