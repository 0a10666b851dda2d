#include "lighting_library/LightDataFactory.h"

#include <stdexcept>
#include <utility>

namespace KestrineLightingLib {

LightDataFactory::LightDataFactory(std::shared_ptr<CommandLimits> limits) : commandLimits(std::move(limits))
{
    if (!commandLimits) {
        throw std::invalid_argument("LightDataFactory needs command limits");
    }
}

std::shared_ptr<LightData> LightDataFactory::createLightData() const
{
    const std::int32_t command = LightData::zoneColorsCommand;
    auto lightData = std::make_shared<LightData>(command, commandLimits->getZonesPerPage(command),
                                                 commandLimits->getPageLimits(command));
    for (std::uint32_t i = 0; i < lightData->pageLimits.pageCount; ++i) {
        lightData->pages.push_back(lightData->createPage());
    }
    return lightData;
}

} // namespace KestrineLightingLib
