#include "lighting_library/FirmwareChannel.h"

#include "lighting_library/OrvaneWMIClassA.h"
#include "windows_wrappers/ComApartment.h"

namespace KestrineLightingLib {

FirmwareResult sendToFirmware(std::int32_t commandType, const CommandBlock& block)
{
    const ComApartment apartment;
    if (!apartment.ready()) {
        return FirmwareResult::of(FirmwareFailure{"CoInitializeEx", apartment.result(), std::nullopt, false});
    }
    // Declared after the apartment, so its COM objects go before the apartment does.
    OrvaneWMIClassA biosCall;
    CommandBlock answer{};
    return FirmwareResult::of(biosCall.callBiosMethodReporting(commandType, block, answer));
}

} // namespace KestrineLightingLib
