#pragma once

#include "colorizers/TwoZoneColorizer.h"

// The first-generation device: its zones take a brightness only. Each zone's
// colour travels as red, luminosity, blue; the controller uses the middle byte.
class GenOneColorizer : public TwoZoneColorizer {
public:
    GenOneColorizer();

    // Sets the full brightness level, then sends the zones' current colours,
    // even when the brightness call failed. Accepted only when both were; the
    // failure is the colour command's, else the brightness call's; the zone
    // bytes are the colour command's.
    KestrineLightingLib::FirmwareResult setDefaultReporting() override;
    Color controllerColor(const Color& zoneColor) const override;
};
