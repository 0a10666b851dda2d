#include "settings/StoredColors.h"

#include "colorizers/ZoneColors.h"

#include <algorithm>

namespace {

// Every fourth entry is a zone's brightness.
std::uint32_t rangeLimit(std::size_t index)
{
    return index == 3 || index == 7 ? maxBrightness : maxColorValue;
}

} // namespace

const std::array<std::wstring_view, storedValueCount> valueNames = {
    L"Z1_Red", L"Z1_Green", L"Z1_Blue", L"Z1_Bright", L"Z2_Red", L"Z2_Green", L"Z2_Blue", L"Z2_Bright",
};

std::uint32_t defaultStoredValue(std::size_t index)
{
    // Full white at full brightness: every entry at the top of its range.
    return rangeLimit(index);
}

std::uint8_t vectorEntryFromStored(std::size_t index, std::uint32_t stored)
{
    return static_cast<std::uint8_t>(std::min(stored, rangeLimit(index)));
}
