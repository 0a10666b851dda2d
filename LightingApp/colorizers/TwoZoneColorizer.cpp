#include "colorizers/TwoZoneColorizer.h"

#include "lighting_library/CommandLimitsKestrineTa1.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

TwoZoneColorizer::TwoZoneColorizer(const Color& logoDefault, const Color& lightBarDefault)
    : zone1Default(logoDefault),
      zone2Default(lightBarDefault),
      commandLimits(std::make_shared<KestrineLightingLib::CommandLimitsKestrineTa1>()),
      lightDataFactory(std::make_shared<KestrineLightingLib::LightDataFactory>(commandLimits))
{
    zones.emplace_back(zone1Default);
    zones.emplace_back(zone2Default);
}

bool TwoZoneColorizer::setColors(std::vector<Color> colors)
{
    return setColorsReporting(std::move(colors)).accepted;
}

bool TwoZoneColorizer::setDefault()
{
    return setDefaultReporting().accepted;
}

KestrineLightingLib::FirmwareResult TwoZoneColorizer::setColorsReporting(std::vector<Color> colors)
{
    // Colours beyond the last zone have nowhere to go and are ignored.
    const std::size_t count = std::min(colors.size(), zones.size());
    for (std::size_t i = 0; i < count; ++i) {
        zones[i].color = colors[i];
    }
    return sendZones();
}

Color TwoZoneColorizer::getColor(std::int32_t zone) const
{
    return zoneAt(zone).color;
}

Color TwoZoneColorizer::getDefaultColor(std::int32_t zone) const
{
    return zoneAt(zone).defaultColor;
}

std::int32_t TwoZoneColorizer::getZoneCount() const
{
    return zoneCount;
}

KestrineLightingLib::FirmwareResult TwoZoneColorizer::sendZones()
{
    return hardwareCommunicator.sendLightDataReporting(buildLightData());
}

std::shared_ptr<KestrineLightingLib::LightData> TwoZoneColorizer::buildLightData() const
{
    std::vector<Color> controllerColors;
    controllerColors.reserve(zones.size());
    std::transform(zones.begin(), zones.end(), std::back_inserter(controllerColors),
                   [this](const ColorZone& zone) { return controllerColor(zone.color); });

    auto lightData = lightDataFactory->createLightData();
    if (lightData->pages.empty() || !lightData->pages.front()) {
        // Sending light data without pages fails, which is the right answer here.
        return lightData;
    }
    const auto& pageZones = lightData->pages.front()->zones;
    const std::size_t count = std::min(controllerColors.size(), pageZones.size());
    for (std::size_t i = 0; i < count; ++i) {
        pageZones[i]->red = controllerColors[i].red;
        pageZones[i]->green = controllerColors[i].green;
        pageZones[i]->blue = controllerColors[i].blue;
    }
    return lightData;
}

const ColorZone& TwoZoneColorizer::zoneAt(std::int32_t zone) const
{
    if (zone < 0 || static_cast<std::size_t>(zone) >= zones.size()) {
        throw std::out_of_range("No lighting zone with index " + std::to_string(zone));
    }
    return zones[static_cast<std::size_t>(zone)];
}
