#include "colorizers/GenOneColorizer.h"

#include "colorizers/Luminosity.h"

namespace {

constexpr std::uint8_t fullBrightness = 100;

} // namespace

GenOneColorizer::GenOneColorizer() : TwoZoneColorizer(Color(255, 255, 255), Color(255, 255, 255)) {}

KestrineLightingLib::FirmwareResult GenOneColorizer::setDefaultReporting()
{
    const KestrineLightingLib::FirmwareResult brightness = communicator().setBrightnessReporting(fullBrightness);
    KestrineLightingLib::FirmwareResult zones = sendZones();
    zones.accepted = zones.accepted && brightness.accepted;
    if (!zones.failure) {
        zones.failure = brightness.failure;
    }
    return zones;
}

Color GenOneColorizer::controllerColor(const Color& zoneColor) const
{
    return Color(zoneColor.red, luminosity(zoneColor), zoneColor.blue);
}
