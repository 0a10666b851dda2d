// Entry points through which COM loads the simulated machine.
#include "LocatorFactory.h"

#include <wrl/client.h>

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const auto factory = simulated_machine::adopt(simulated_machine::LocatorFactory::forClass(clsid));
    if (!factory) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory->QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return simulated_machine::ServerObject::unused() ? S_OK : S_FALSE;
}
