#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// How the zone colour vector is kept in the registry: one REG_DWORD per entry,
// under these names, in vector order.
inline constexpr std::size_t storedValueCount = 8;

extern const std::array<std::wstring_view, storedValueCount> valueNames;

// The value written for an entry that does not exist yet: full white at full
// brightness.
std::uint32_t defaultStoredValue(std::size_t index);

// The vector entry for a stored value. Values above the entry's range (a
// colour above 255, a brightness above 100) saturate instead of wrapping.
std::uint8_t vectorEntryFromStored(std::size_t index, std::uint32_t stored);
