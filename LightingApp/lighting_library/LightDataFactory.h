#pragma once

#include "lighting_library/CommandLimits.h"
#include "lighting_library/LightData.h"

#include <memory>

namespace KestrineLightingLib {

// Builds fresh light data shaped by a controller's command limits, every zone white.
class LightDataFactory {
public:
    explicit LightDataFactory(std::shared_ptr<CommandLimits> limits);
    virtual ~LightDataFactory() = default;

    std::shared_ptr<LightData> createLightData() const;

private:
    std::shared_ptr<CommandLimits> commandLimits;
};

} // namespace KestrineLightingLib
