#include "lighting_library/FirmwareChannel.h"

#include "lighting_library/FirmwareFailure.h"
#include "lighting_library/OrvaneWMIClassA.h"
#include "windows_wrappers/ComApartment.h"

namespace KestrineLightingLib {

bool sendToFirmware(std::int32_t commandType, const CommandBlock& block)
{
    const ComApartment apartment;
    if (!apartment.ready()) {
        noteFirmwareFailure({"CoInitializeEx", apartment.result(), std::nullopt, false});
        return false;
    }
    // Declared after the apartment, so its COM objects go before the apartment does.
    OrvaneWMIClassA biosCall;
    CommandBlock answer{};
    if (FAILED(biosCall.callBiosMethod(commandType, block, answer))) {
        noteFirmwareFailure(biosCall.failure());
        return false;
    }
    return true;
}

} // namespace KestrineLightingLib
