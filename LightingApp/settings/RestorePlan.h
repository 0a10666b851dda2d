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

// What a run that reads a key, and completes it first, makes of one of its
// values. The one rule for the run, for the completion that writes the
// defaults, and for "status", which shows it value by value.
enum class ValueFate {
    // A REG_DWORD: used, held to its range.
    Used,
    // Missing, or too long to read and no REG_DWORD: the stored default
    // (defaultStoredValue) is written in its place and used.
    DefaultWritten,
    // Short but no REG_DWORD: left as it is by the completion; the model's
    // default is used, and the run's store then writes it as a REG_DWORD.
    ModelDefault,
    // A REG_DWORD too long to read: left alone, and the key with it: no run
    // completes, reads or writes the key while it is there.
    BlocksKey,
};
ValueFate fateOf(const StoredValue& value);

struct RestorePlan {
    // None: no stored set is used; the model's defaults are applied.
    StoredRoot reads = StoredRoot::None;
    // The root whose missing values the run writes before it reads.
    StoredRoot completes = StoredRoot::None;
    // Where the run stores the vector it applied; None when neither root can
    // be written.
    StoredRoot stores = StoredRoot::None;
    ZoneValues values;
    // Where each entry of values comes from: ModelDefault for all of them
    // when no stored set is used.
    std::array<ValueFate, storedValueCount> sources{};
};

// The decision. A root is used only when its set is complete (all eight
// values exist) and it may be written, or, read only, when all eight are
// REG_DWORDs: a user who may not write the machine key starts from the
// administrator's colours until they store their own. A root holding a
// REG_DWORD too long to read is never completed or written.
RestorePlan planRestore(const StoredSet& machine, const StoredSet& user, const ZoneValues& modelDefaults);

// Whether the run could write the root's missing values (see above).
bool canBeCompleted(const StoredSet& set);
