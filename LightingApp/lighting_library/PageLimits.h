#pragma once

#include <cstdint>

namespace KestrineLightingLib {

// How many pages a LightData is built with. pageLimit is carried along with
// the light data for the controller's sake; nothing in this program reads it.
struct PageLimits {
    std::uint32_t pageCount = 0;
    std::uint32_t pageLimit = 0;
};

} // namespace KestrineLightingLib
