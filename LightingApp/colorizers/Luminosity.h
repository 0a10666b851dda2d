#pragma once

#include "colorizers/Color.h"

#include <cstdint>

// The brightness a first-generation zone shows for a colour:
// (G * 0.72 + R * 0.21) + B * 0.07 in double precision, in that order,
// truncated toward zero. The weights are not exact in binary, so some sums
// that should be whole fall just below and truncate one lower: white gives
// 254. The result never exceeds 254.
std::uint8_t luminosity(const Color& color);
