#pragma once

#include "colorizers/Color.h"
#include "colorizers/IColorizer.h"

#include <cstdint>
#include <vector>

// The zone colour vector: red, green, blue and brightness (percent) of zone 1,
// then of zone 2, as the command line gives it and the registry keeps it.
using ZoneValues = std::vector<std::uint8_t>;

inline constexpr std::size_t zoneValueCount = 8;

// The ranges of the vector's entries: what the command line accepts and what
// a stored value is held to when it is read back.
inline constexpr std::uint8_t maxColorValue = 255;
inline constexpr std::uint8_t maxBrightness = 100;

// The vector for the given zone colours at full brightness.
ZoneValues zoneValuesAtFullBrightness(const Color& zone1, const Color& zone2);

// One colour per zone with its brightness multiplied in: each component times
// brightness / 100.0, in double precision, truncated. The brightness is
// expected within its range (the command line and the stored values keep it
// there); beyond it a component saturates at 255. Empty unless values holds
// exactly eight entries.
std::vector<Color> colorsWithBrightness(const ZoneValues& values);

// The colorizer's own default colours (the zones' colours at creation) at
// full brightness: what a run applies when no colours are stored.
ZoneValues defaultZoneValues(const IColorizer& colorizer);

// The zone bytes the firmware gets when the colorizer applies the vector: the
// colours with their brightness (colorsWithBrightness), as the generation
// writes them into the command.
std::vector<Color> controllerColors(const IColorizer& colorizer, const ZoneValues& values);
