#pragma once

#include "colorizers/IColorizer.h"

#include <memory>

// Creates the colorizer for a generation code.
class ColorizerFactory {
public:
    virtual ~ColorizerFactory() = default;

    // A GenOneColorizer for the first generation, a GenTwoColorizer for the
    // second, none for anything else.
    std::unique_ptr<IColorizer> createColorizer(int generation) const;
};
