#pragma once

#include "lighting_library/CommandLimits.h"

namespace KestrineLightingLib {

// The TA1 controller: one page of two zones (logo and light bar) for every
// command. The command value is not checked here; invalid values are refused
// when the command is turned into its hardware byte.
class CommandLimitsKestrineTa1 : public CommandLimits {
public:
    std::uint32_t getZonesPerPage(std::int32_t command) const override;
    PageLimits getPageLimits(std::int32_t command) const override;
};

} // namespace KestrineLightingLib
