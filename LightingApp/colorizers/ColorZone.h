#pragma once

#include "colorizers/Color.h"

// One lighting zone as a colorizer keeps it: the colour the next command
// sends, and the colour the zone was created with.
class ColorZone {
public:
    explicit ColorZone(const Color& initial) : color(initial), defaultColor(initial) {}
    virtual ~ColorZone() = default;

    ColorZone(const ColorZone&) = default;
    ColorZone& operator=(const ColorZone&) = default;

    Color color;
    Color defaultColor;
};
