#pragma once

#include <cstdint>

namespace KestrineLightingLib {

class LightData;

// One lighting zone of a page. Users write the colour bytes directly; they go
// to the firmware in the order red, green, blue.
class Zone {
public:
    explicit Zone(LightData* creator) : owner(creator) {}
    virtual ~Zone() = default;

    Zone(const Zone&) = delete;
    Zone& operator=(const Zone&) = delete;

    // The LightData that created this zone. Not owned: the LightData owns the zone.
    LightData* owner;
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;
};

} // namespace KestrineLightingLib
