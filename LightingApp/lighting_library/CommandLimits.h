#pragma once

#include "lighting_library/PageLimits.h"

#include <cstdint>

namespace KestrineLightingLib {

// How the light data of a command is shaped on one lighting controller.
class CommandLimits {
public:
    virtual ~CommandLimits() = default;

    virtual std::uint32_t getZonesPerPage(std::int32_t command) const = 0;
    virtual PageLimits getPageLimits(std::int32_t command) const = 0;

protected:
    CommandLimits() = default;
    CommandLimits(const CommandLimits&) = default;
    CommandLimits& operator=(const CommandLimits&) = default;
};

} // namespace KestrineLightingLib
