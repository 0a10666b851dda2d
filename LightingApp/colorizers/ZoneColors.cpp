#include "colorizers/ZoneColors.h"

#include <algorithm>
#include <iterator>

namespace {

std::uint8_t scaled(std::uint8_t component, double factor)
{
    // The factor is formed first, as the lighting has always been computed:
    // at brightness 29 a component of 100 gives 28, not 29. A product beyond
    // a byte would not convert to one at all.
    return static_cast<std::uint8_t>(std::min(component * factor, static_cast<double>(maxColorValue)));
}

Color zoneColor(const ZoneValues& values, std::size_t first)
{
    const double factor = values[first + 3] / 100.0;
    return Color(scaled(values[first], factor), scaled(values[first + 1], factor), scaled(values[first + 2], factor));
}

} // namespace

ZoneValues zoneValuesAtFullBrightness(const Color& zone1, const Color& zone2)
{
    return {zone1.red, zone1.green, zone1.blue, maxBrightness, zone2.red, zone2.green, zone2.blue, maxBrightness};
}

std::vector<Color> colorsWithBrightness(const ZoneValues& values)
{
    if (values.size() != zoneValueCount) {
        return {};
    }
    return {zoneColor(values, 0), zoneColor(values, 4)};
}

ZoneValues defaultZoneValues(const IColorizer& colorizer)
{
    return zoneValuesAtFullBrightness(colorizer.getDefaultColor(0), colorizer.getDefaultColor(1));
}

std::vector<Color> controllerColors(const IColorizer& colorizer, const ZoneValues& values)
{
    const std::vector<Color> colors = colorsWithBrightness(values);
    std::vector<Color> sent;
    sent.reserve(colors.size());
    std::transform(colors.begin(), colors.end(), std::back_inserter(sent),
                   [&colorizer](const Color& color) { return colorizer.controllerColor(color); });
    return sent;
}
