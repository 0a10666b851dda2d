#include "application/ColorizerFactory.h"

#include "colorizers/GenOneColorizer.h"
#include "colorizers/GenTwoColorizer.h"
#include "platform_check/ModelGeneration.h"

std::unique_ptr<IColorizer> ColorizerFactory::createColorizer(int generation) const
{
    switch (generation) {
    case firstGeneration:
        return std::make_unique<GenOneColorizer>();
    case secondGeneration:
        return std::make_unique<GenTwoColorizer>();
    default:
        return nullptr;
    }
}
