#pragma once

#include "colorizers/ZoneColors.h"
#include "settings/RestorePlan.h"
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

// The number that takes the place of entry index: the stored default, or
// the model's default (nothing when no model's defaults are known).
std::optional<std::uint8_t> replacementFor(std::size_t index, ValueFate fate, const ZoneValues& modelDefaults);

// "REG_SZ", "REG_BINARY", ...; "type N" for a type without a name here.
std::wstring registryTypeName(std::uint32_t type);
