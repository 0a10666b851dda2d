#include "settings/StoredColors.h"

#include <algorithm>

namespace {

constexpr std::uint32_t maxColorValue = 255;
constexpr std::uint32_t maxBrightness = 100;

bool isBrightness(std::size_t index)
{
    return index == 3 || index == 7;
}

} // namespace

const std::array<std::wstring_view, storedValueCount> valueNames = {
    L"Z1_Red", L"Z1_Green", L"Z1_Blue", L"Z1_Bright", L"Z2_Red", L"Z2_Green", L"Z2_Blue", L"Z2_Bright",
};

std::uint32_t defaultStoredValue(std::size_t index)
{
    return isBrightness(index) ? maxBrightness : maxColorValue;
}

std::uint8_t vectorEntryFromStored(std::size_t index, std::uint32_t stored)
{
    const std::uint32_t limit = isBrightness(index) ? maxBrightness : maxColorValue;
    return static_cast<std::uint8_t>(std::min(stored, limit));
}
