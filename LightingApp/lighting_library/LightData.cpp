#include "lighting_library/LightData.h"

namespace KestrineLightingLib {

std::shared_ptr<Page> LightData::createPage()
{
    std::vector<std::shared_ptr<Zone>> zones;
    zones.reserve(zonesPerPage);
    for (std::uint32_t i = 0; i < zonesPerPage; ++i) {
        zones.push_back(std::make_shared<Zone>(this));
    }
    return std::make_shared<Page>(this, std::move(zones));
}

} // namespace KestrineLightingLib
