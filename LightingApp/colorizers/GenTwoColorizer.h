#pragma once

#include "colorizers/TwoZoneColorizer.h"

// The second-generation device: its zones take full RGB, sent unchanged.
class GenTwoColorizer : public TwoZoneColorizer {
public:
    GenTwoColorizer();

    // Sends the zones' current colours; makes no brightness call.
    KestrineLightingLib::FirmwareResult setDefaultReporting() override;
    Color controllerColor(const Color& zoneColor) const override;
};
