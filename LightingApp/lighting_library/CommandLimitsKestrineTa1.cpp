#include "lighting_library/CommandLimitsKestrineTa1.h"

namespace KestrineLightingLib {

std::uint32_t CommandLimitsKestrineTa1::getZonesPerPage(std::int32_t /*command*/) const
{
    return 2;
}

PageLimits CommandLimitsKestrineTa1::getPageLimits(std::int32_t /*command*/) const
{
    return PageLimits{1, 1};
}

} // namespace KestrineLightingLib
