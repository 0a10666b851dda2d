#pragma once

#include "colorizers/Color.h"
#include "lighting_library/FirmwareFailure.h"

#include <cstdint>
#include <vector>

// Drives the lighting zones of one device generation. Zone index 0 is zone 1
// (the logo), index 1 zone 2 (the light bar).
class IColorizer {
public:
    // Sets the zones' colours from colors (element i for zone index i; zones
    // without an element keep their colour) and sends them. True when the
    // firmware accepted the command. The zones keep the new colours either way.
    virtual bool setColors(std::vector<Color> colors) = 0;

    // The colour the zone currently holds. Throws std::out_of_range for an
    // index that is not a zone.
    virtual Color getColor(std::int32_t zone) const = 0;

    // Sends the zones' current colours the way the generation restores its
    // default look. True when every firmware call it made succeeded.
    virtual bool setDefault() = 0;

    // The colour the zone was created with. Throws std::out_of_range for an
    // index that is not a zone.
    virtual Color getDefaultColor(std::int32_t zone) const = 0;

    virtual std::int32_t getZoneCount() const = 0;

    // The three bytes the firmware gets for a zone showing this colour.
    virtual Color controllerColor(const Color& zoneColor) const = 0;

    // setColors and setDefault, answered with what became of the commands:
    // whether the firmware accepted them, why not, and the zone bytes it got.
    // setColors and setDefault are these, reduced to accepted or not.
    virtual KestrineLightingLib::FirmwareResult setColorsReporting(std::vector<Color> colors) = 0;
    virtual KestrineLightingLib::FirmwareResult setDefaultReporting() = 0;

    virtual ~IColorizer() = default;

protected:
    IColorizer() = default;
    IColorizer(const IColorizer&) = default;
    IColorizer& operator=(const IColorizer&) = default;
};
