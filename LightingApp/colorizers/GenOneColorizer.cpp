#include "colorizers/GenOneColorizer.h"

#include "colorizers/Luminosity.h"

namespace {

constexpr std::uint8_t fullBrightness = 100;

} // namespace

GenOneColorizer::GenOneColorizer() : TwoZoneColorizer(Color(255, 255, 255), Color(255, 255, 255)) {}

bool GenOneColorizer::setDefault()
{
    const bool brightnessSet = communicator().setBrightness(fullBrightness);
    const bool zonesSent = sendZones();
    return brightnessSet && zonesSent;
}

Color GenOneColorizer::controllerColor(const Color& zoneColor) const
{
    return Color(zoneColor.red, luminosity(zoneColor), zoneColor.blue);
}
