#pragma once

#include "colorizers/TwoZoneColorizer.h"

// The first-generation device: its zones take a brightness only. Each zone's
// colour travels as red, luminosity, blue; the controller uses the middle byte.
class GenOneColorizer : public TwoZoneColorizer {
public:
    GenOneColorizer();

    // Sets the full brightness level, then sends the zones' current colours,
    // even when the brightness call failed. True only when both succeeded.
    bool setDefault() override;
    Color controllerColor(const Color& zoneColor) const override;
};
