#pragma once

#include "lighting_library/Page.h"
#include "lighting_library/PageLimits.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace KestrineLightingLib {

// The content of one lighting command: a command value and pages of zones.
// Lives for one send.
class LightData {
public:
    // The command value of every LightData this program builds: set zone colours.
    static constexpr std::int32_t zoneColorsCommand = 3;

    LightData(std::int32_t commandValue, std::uint32_t zonesInEachPage, PageLimits limits)
        : command(commandValue), zonesPerPage(zonesInEachPage), pageLimits(limits)
    {}
    virtual ~LightData() = default;

    // Pages and zones point back at the LightData that made them; a copy
    // would leave them pointing at the original.
    LightData(const LightData&) = delete;
    LightData& operator=(const LightData&) = delete;

    // A new page of zonesPerPage white zones, owned by the caller (usually
    // appended to pages).
    std::shared_ptr<Page> createPage();

    std::vector<std::shared_ptr<Page>> pages;
    std::int32_t command;
    std::uint32_t zonesPerPage;
    PageLimits pageLimits;
};

} // namespace KestrineLightingLib
