#pragma once

#include "colorizers/ZoneColors.h"
#include "settings/StoredSet.h"

#include <cstddef>
#include <optional>
#include <string>

// How "status" sums up a stored set and each of its values, for its lines
// and for its JSON alike.

enum class SetState {
    // All eight values are REG_DWORDs.
    Complete,
    // Some exist, not all of them as readable REG_DWORDs.
    Incomplete,
    // None of the eight exists (or the key does not).
    None,
};
SetState setState(const StoredSet& set);

// What takes a value's place when a run reads its key (see planRestore).
enum class InItsPlace {
    // Nothing: the stored REG_DWORD is used, held to its range.
    Nothing,
    // Missing, or too long to read and no REG_DWORD: the run writes the
    // stored default in its place.
    DefaultWritten,
    // Short but no REG_DWORD: left as it is; the model's default is used.
    ModelDefault,
    // A REG_DWORD too long to read: no run reads or writes this key while it
    // is there.
    KeyNotUsed,
};
InItsPlace inItsPlace(const StoredValue& value);

// The number that takes the place of entry index: the stored default, or
// the model's default (nothing when no model's defaults are known).
std::optional<std::uint8_t> replacementFor(std::size_t index, InItsPlace place, const ZoneValues& modelDefaults);

// "REG_SZ", "REG_BINARY", ...; "type N" for a type without a name here.
std::wstring registryTypeName(std::uint32_t type);
