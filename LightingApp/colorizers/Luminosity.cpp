#include "colorizers/Luminosity.h"

std::uint8_t luminosity(const Color& color)
{
    const double red = color.red;
    const double green = color.green;
    const double blue = color.blue;
    // The order of the additions is part of the result: another order rounds
    // differently for some colours.
    const double sum = (green * 0.72 + red * 0.21) + blue * 0.07;
    return static_cast<std::uint8_t>(sum);
}
