#include "colorizers/GenTwoColorizer.h"

GenTwoColorizer::GenTwoColorizer() : TwoZoneColorizer(Color(230, 255, 255), Color(210, 200, 230)) {}

KestrineLightingLib::FirmwareResult GenTwoColorizer::setDefaultReporting()
{
    return sendZones();
}

Color GenTwoColorizer::controllerColor(const Color& zoneColor) const
{
    return zoneColor;
}
