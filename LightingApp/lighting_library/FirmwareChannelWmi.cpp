#include "lighting_library/FirmwareChannel.h"

#include "lighting_library/OrvaneWMIClassA.h"

#include <objbase.h>

namespace KestrineLightingLib {

namespace {

// A single-threaded apartment on this thread for the length of one firmware
// call. Nested inside an apartment the caller already holds, it only counts up
// and down.
class ComApartment {
public:
    ComApartment() : status(CoInitialize(nullptr)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(status)) {
            CoUninitialize();
        }
    }

    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ready() const { return SUCCEEDED(status); }

private:
    HRESULT status;
};

} // namespace

bool sendToFirmware(std::int32_t commandType, const CommandBlock& block)
{
    const ComApartment apartment;
    if (!apartment.ready()) {
        return false;
    }
    // Declared after the apartment, so its COM objects go before the apartment does.
    OrvaneWMIClassA biosCall;
    CommandBlock answer{};
    return SUCCEEDED(biosCall.callBiosMethod(commandType, block, answer));
}

} // namespace KestrineLightingLib
