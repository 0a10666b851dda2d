#include "lighting_library/FirmwareFailure.h"

#include <utility>

namespace KestrineLightingLib {

namespace {

std::optional<FirmwareFailure>& noted()
{
    static std::optional<FirmwareFailure> failure;
    return failure;
}

} // namespace

void noteFirmwareFailure(const FirmwareFailure& failure)
{
    noted() = failure;
}

std::optional<FirmwareFailure> takeFirmwareFailure()
{
    return std::exchange(noted(), std::nullopt);
}

} // namespace KestrineLightingLib
