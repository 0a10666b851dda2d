#pragma once

#include "colorizers/Color.h"

#include <cstdint>
#include <vector>

// The zone colour vector: red, green, blue and brightness (percent) of zone 1,
// then of zone 2, as the command line gives it and the registry keeps it.
using ZoneValues = std::vector<std::uint8_t>;

inline constexpr std::size_t zoneValueCount = 8;

// The vector for the given zone colours at full brightness.
ZoneValues zoneValuesAtFullBrightness(const Color& zone1, const Color& zone2);

// One colour per zone with its brightness multiplied in: each component times
// brightness / 100.0, in double precision, truncated. A brightness above 100
// counts as 100. Empty unless values holds exactly eight entries.
std::vector<Color> colorsWithBrightness(const ZoneValues& values);
